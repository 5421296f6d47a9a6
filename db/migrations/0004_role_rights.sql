-- The program's four roles as group roles of the database, each granted what the role may do in
-- the program and no more, so that the database refuses the rest to an account of that role
-- whatever client it uses:
--   piecework_reader     reads
--   piecework_foreman    adds shift records
--   piecework_warehouse  sets a record's acceptance mark and nothing else of it
--   piecework_admin      does all the program does
-- Household work (entries and their day cells) is open to every role, as in the program. The
-- month-end guards and the change history run with their owner's rights and need no grant.
-- Roles belong to the whole server: they are made once, by whoever upgrades first; this needs the
-- right to create roles (CREATEROLE), or the four roles made beforehand by the server's
-- administrator. Nothing here is granted to PUBLIC or to the company's other users.
SET client_min_messages = warning;

DO $$
DECLARE
  r text;
  missing text[] := '{}';
BEGIN
  FOREACH r IN ARRAY ARRAY['piecework_reader', 'piecework_foreman', 'piecework_warehouse', 'piecework_admin'] LOOP
    IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = r) THEN
      missing := missing || r;
    END IF;
  END LOOP;
  IF cardinality(missing) > 0 AND NOT EXISTS (
       SELECT 1 FROM pg_roles WHERE rolname = current_user AND (rolcreaterole OR rolsuper)) THEN
    RAISE EXCEPTION 'Для обновления нужны роли программы %: у пользователя % нет права создавать роли (CREATEROLE). Создайте их от имени администратора сервера (CREATE ROLE ... NOLOGIN) и повторите обновление.',
      array_to_string(missing, ', '), current_user;
  END IF;
  FOREACH r IN ARRAY missing LOOP
    EXECUTE format('CREATE ROLE %I NOLOGIN', r);
  END LOOP;
END $$;

-- What every role reads: the program's tables and, of the company's common schemas, the tables
-- the program reads.
GRANT USAGE ON SCHEMA accounts_dep, cmn_contractor, cmn_classifier, cmn_gds_and_srv, cmn_department,
  hrms_staffpos, adm_role TO piecework_reader, piecework_foreman, piecework_warehouse, piecework_admin;
GRANT SELECT ON accounts_dep.person, accounts_dep.izdel, accounts_dep.vid_oper, accounts_dep.oper,
  accounts_dep.norm, accounts_dep.smena, accounts_dep.h_tabel, accounts_dep.fatigue, accounts_dep.ver,
  accounts_dep.closed_month, accounts_dep.schema_migration
  TO piecework_reader, piecework_foreman, piecework_warehouse, piecework_admin;
GRANT SELECT ON cmn_contractor.person, cmn_classifier.item, cmn_gds_and_srv.gds_and_srv,
  cmn_department.department, hrms_staffpos.staffpos, adm_role.roles
  TO piecework_reader, piecework_foreman, piecework_warehouse, piecework_admin;

-- Household work: its entries and the day cells they write.
GRANT INSERT, UPDATE, DELETE ON accounts_dep.fatigue
  TO piecework_reader, piecework_foreman, piecework_warehouse, piecework_admin;
GRANT INSERT, UPDATE ON accounts_dep.h_tabel
  TO piecework_reader, piecework_foreman, piecework_warehouse, piecework_admin;

-- The foreman adds records.
GRANT INSERT ON accounts_dep.smena TO piecework_foreman;

-- The warehouse accepts: the mark alone.
GRANT UPDATE (ok) ON accounts_dep.smena TO piecework_warehouse;

-- The administrator: records changed and deleted, the reference books and prices, rebuilds of the
-- timesheet, closing months, the history, and the build's version row.
GRANT INSERT, UPDATE, DELETE ON accounts_dep.smena, accounts_dep.oper, accounts_dep.norm,
  accounts_dep.vid_oper, accounts_dep.person TO piecework_admin;
GRANT DELETE ON accounts_dep.h_tabel TO piecework_admin;
GRANT INSERT, DELETE ON accounts_dep.closed_month TO piecework_admin;
GRANT SELECT ON accounts_dep.change_history TO piecework_admin;
GRANT INSERT, UPDATE ON accounts_dep.ver TO piecework_admin;
-- The first copy of a newer build raises the build's stamp, whoever runs it (the older copies then
-- end): the stamp's two columns, nothing else of the version row.
GRANT INSERT (d, t), UPDATE (d, t) ON accounts_dep.ver
  TO piecework_reader, piecework_foreman, piecework_warehouse;
-- Of the common schemas, what the reference books write: the persons a worker's card keeps in
-- step, the products and their groups.
GRANT INSERT, UPDATE, DELETE ON cmn_contractor.person TO piecework_admin;
GRANT INSERT, UPDATE, DELETE ON cmn_gds_and_srv.gds_and_srv TO piecework_admin;
GRANT INSERT, UPDATE ON cmn_classifier.item TO piecework_admin;
GRANT USAGE ON SEQUENCE cmn_contractor.person_id_seq, cmn_classifier.item_id_seq,
  cmn_gds_and_srv.gds_and_srv_id_seq TO piecework_admin;
