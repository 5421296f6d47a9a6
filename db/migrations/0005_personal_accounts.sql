-- Personal accounts: each person logs in as a database login role of their own that belongs to one
-- of the program's four group roles. The program's administrator manages these accounts only
-- through the functions below. They act on login roles of the four groups alone, never on a
-- superuser or on the company's other roles, and a member of piecework_admin is the only one who
-- may call them. The administrator therefore needs no rights over the server's roles, and no other
-- account can change its own role.
-- The functions' refusals begin with "piecework: ", which the program takes off and shows as they
-- stand.
-- piecework_start may read the version row and the list of migrations, and raise the build's stamp
-- as the first copy of a newer build does, and nothing else: this is what a workstation's settings
-- file logs in as before a person does.
SET client_min_messages = warning;

DO $$
BEGIN
  IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'piecework_start') THEN
    IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = current_user AND (rolcreaterole OR rolsuper)) THEN
      RAISE EXCEPTION 'Для обновления нужна роль программы piecework_start: у пользователя % нет права создавать роли (CREATEROLE). Создайте её от имени администратора сервера (CREATE ROLE piecework_start NOLOGIN) и повторите обновление.',
        current_user;
    END IF;
    CREATE ROLE piecework_start NOLOGIN;
  END IF;
END $$;
GRANT USAGE ON SCHEMA accounts_dep TO piecework_start;
GRANT SELECT ON accounts_dep.ver, accounts_dep.schema_migration TO piecework_start;
GRANT INSERT (d, t), UPDATE (d, t) ON accounts_dep.ver TO piecework_start;

-- The group an account belongs to ('' when none of the four).
CREATE OR REPLACE FUNCTION accounts_dep.account_group(account name) RETURNS text
LANGUAGE sql STABLE SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
  SELECT coalesce((SELECT g.rolname::text FROM pg_auth_members m
                     JOIN pg_roles g ON g.oid = m.roleid
                     JOIN pg_roles a ON a.oid = m.member
                    WHERE a.rolname = account
                      AND g.rolname IN ('piecework_admin', 'piecework_foreman', 'piecework_warehouse', 'piecework_reader')
                    ORDER BY array_position(ARRAY['piecework_admin', 'piecework_foreman', 'piecework_warehouse',
                                                  'piecework_reader'], g.rolname::text)
                    LIMIT 1), '')
$$;

-- Refuses the call unless its caller is the program's administrator, and refuses a target that is
-- not an account of the program: a superuser, a role that manages roles, or one of no program group.
CREATE OR REPLACE FUNCTION accounts_dep.check_account_change(account text, new_account boolean) RETURNS void
LANGUAGE plpgsql STABLE SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
BEGIN
  IF NOT pg_has_role(session_user, 'piecework_admin', 'member') THEN
    RAISE EXCEPTION 'piecework: Учётными записями управляет только администратор программы' USING ERRCODE = 'PWA01';
  END IF;
  IF account IS NULL OR account !~ '^[a-z_][a-z0-9_.-]{0,62}$' THEN
    RAISE EXCEPTION 'piecework: Имя учётной записи: латинские строчные буквы, цифры, точка, дефис, подчёркивание (не более 63 знаков)'
      USING ERRCODE = 'PWA01';
  END IF;
  IF new_account THEN
    IF EXISTS (SELECT 1 FROM pg_roles WHERE rolname = account) THEN
      RAISE EXCEPTION 'piecework: Учётная запись % уже есть', account USING ERRCODE = 'PWA01';
    END IF;
  ELSIF accounts_dep.account_group(account) = ''
     OR EXISTS (SELECT 1 FROM pg_roles WHERE rolname = account
                                          AND (rolsuper OR rolcreaterole OR rolreplication OR rolbypassrls)) THEN
    RAISE EXCEPTION 'piecework: Учётная запись % не относится к программе', account USING ERRCODE = 'PWA01';
  END IF;
END $$;

CREATE OR REPLACE FUNCTION accounts_dep.check_account_group(grp text) RETURNS void
LANGUAGE plpgsql IMMUTABLE AS $$
BEGIN
  IF grp IS NULL OR grp NOT IN ('piecework_admin', 'piecework_foreman', 'piecework_warehouse', 'piecework_reader') THEN
    RAISE EXCEPTION 'piecework: Роль должна быть одной из ролей программы' USING ERRCODE = 'PWA01';
  END IF;
END $$;

CREATE OR REPLACE FUNCTION accounts_dep.check_account_password(password text) RETURNS void
LANGUAGE plpgsql IMMUTABLE AS $$
BEGIN
  IF password IS NULL OR length(password) < 8 THEN
    RAISE EXCEPTION 'piecework: Пароль должен быть не короче 8 знаков' USING ERRCODE = 'PWA01';
  END IF;
END $$;

-- The program's accounts with their full name (the role's comment), group and state.
CREATE OR REPLACE FUNCTION accounts_dep.accounts()
RETURNS TABLE (account text, full_name text, account_role text, enabled boolean, valid_until timestamptz)
LANGUAGE sql STABLE SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
  SELECT a.rolname::text, coalesce(shobj_description(a.oid, 'pg_authid'), ''),
         accounts_dep.account_group(a.rolname), a.rolcanlogin, a.rolvaliduntil
    FROM pg_roles a
   WHERE accounts_dep.account_group(a.rolname) <> '' AND NOT a.rolsuper
   ORDER BY 1
$$;

CREATE OR REPLACE FUNCTION accounts_dep.add_account(account text, full_name text, grp text, password text)
RETURNS void LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
BEGIN
  PERFORM accounts_dep.check_account_change(account, true);
  PERFORM accounts_dep.check_account_group(grp);
  PERFORM accounts_dep.check_account_password(password);
  EXECUTE format('CREATE ROLE %I LOGIN PASSWORD %L IN ROLE %I', account, password, grp);
  EXECUTE format('COMMENT ON ROLE %I IS %L', account, coalesce(full_name, ''));
END $$;

CREATE OR REPLACE FUNCTION accounts_dep.set_account_password(account text, password text)
RETURNS void LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
BEGIN
  PERFORM accounts_dep.check_account_change(account, false);
  PERFORM accounts_dep.check_account_password(password);
  EXECUTE format('ALTER ROLE %I PASSWORD %L VALID UNTIL ''infinity''', account, password);
END $$;

CREATE OR REPLACE FUNCTION accounts_dep.set_account_group(account text, grp text)
RETURNS void LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
DECLARE
  g text;
BEGIN
  PERFORM accounts_dep.check_account_change(account, false);
  PERFORM accounts_dep.check_account_group(grp);
  IF account = session_user THEN
    RAISE EXCEPTION 'piecework: Свою роль изменить нельзя' USING ERRCODE = 'PWA01';
  END IF;
  FOREACH g IN ARRAY ARRAY['piecework_admin', 'piecework_foreman', 'piecework_warehouse', 'piecework_reader'] LOOP
    IF g <> grp THEN
      EXECUTE format('REVOKE %I FROM %I', g, account);
    END IF;
  END LOOP;
  EXECUTE format('GRANT %I TO %I', grp, account);
END $$;

CREATE OR REPLACE FUNCTION accounts_dep.set_account_enabled(account text, enabled boolean)
RETURNS void LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
BEGIN
  PERFORM accounts_dep.check_account_change(account, false);
  IF NOT enabled AND account = session_user THEN
    RAISE EXCEPTION 'piecework: Свою учётную запись отключить нельзя' USING ERRCODE = 'PWA01';
  END IF;
  EXECUTE format('ALTER ROLE %I %s', account, CASE WHEN enabled THEN 'LOGIN' ELSE 'NOLOGIN' END);
END $$;

CREATE OR REPLACE FUNCTION accounts_dep.set_account_full_name(account text, full_name text)
RETURNS void LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
BEGIN
  PERFORM accounts_dep.check_account_change(account, false);
  EXECUTE format('COMMENT ON ROLE %I IS %L', account, coalesce(full_name, ''));
END $$;

REVOKE ALL ON FUNCTION accounts_dep.check_account_change(text, boolean), accounts_dep.accounts(),
  accounts_dep.add_account(text, text, text, text), accounts_dep.set_account_password(text, text),
  accounts_dep.set_account_group(text, text), accounts_dep.set_account_enabled(text, boolean),
  accounts_dep.set_account_full_name(text, text) FROM PUBLIC;
GRANT EXECUTE ON FUNCTION accounts_dep.check_account_change(text, boolean), accounts_dep.accounts(),
  accounts_dep.add_account(text, text, text, text), accounts_dep.set_account_password(text, text),
  accounts_dep.set_account_group(text, text), accounts_dep.set_account_enabled(text, boolean),
  accounts_dep.set_account_full_name(text, text) TO piecework_admin;
-- Every account learns its own group at login.
REVOKE ALL ON FUNCTION accounts_dep.account_group(name) FROM PUBLIC;
GRANT EXECUTE ON FUNCTION accounts_dep.account_group(name)
  TO piecework_admin, piecework_foreman, piecework_warehouse, piecework_reader;
