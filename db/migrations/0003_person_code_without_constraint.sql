-- The persons' table belongs to the whole company: other programs store codes that are not
-- numbers ('', 'A-17'). An index on "s_code::t_id" made such a code an error, in the upgrade and in
-- every other program's insert. The program's statements match a record's worker by the code read
-- as a number through this function instead, which is null for any other code, and its index lets
-- each record find its persons directly.
SET client_min_messages = warning;

CREATE OR REPLACE FUNCTION accounts_dep.code_as_id(code text) RETURNS numeric
  LANGUAGE sql IMMUTABLE PARALLEL SAFE
  AS $$ SELECT CASE WHEN code ~ '^\s*[+-]?\d{1,15}\s*$' THEN code::numeric(15,0) END $$;

DROP INDEX IF EXISTS cmn_contractor.person_code_as_id;
CREATE INDEX person_code_as_id ON cmn_contractor.person (accounts_dep.code_as_id(s_code));
