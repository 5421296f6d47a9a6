-- Guards of the month-end data: closed months and the change history of shift records and
-- household entries. It adds tables, functions and triggers of the schema accounts_dep and changes
-- no existing column. Written to apply also where an office ran this file by hand before the
-- upgrade command existed.
SET client_min_messages = warning;

-- Wages are paid from a month's records: once the office closes a month, its shift records,
-- household entries and timesheet rows refuse every write, whichever program or workstation
-- sends it. The refusal has a SQLSTATE of its own (PWM01) and a fixed text, which the program
-- shows as it stands.
CREATE TABLE IF NOT EXISTS accounts_dep.closed_month (
  year      integer NOT NULL,
  month     integer NOT NULL CHECK (month BETWEEN 1 AND 12),
  closed_at timestamp NOT NULL DEFAULT now(),
  closed_by varchar(254),
  PRIMARY KEY (year, month)
);

-- The guards' functions run with their owner's rights (SECURITY DEFINER): the database users of
-- other programs that write these tables need no rights on the tables added here.
CREATE OR REPLACE FUNCTION accounts_dep.refuse_closed_month(y integer, m integer) RETURNS void
LANGUAGE plpgsql STABLE SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
BEGIN
  IF EXISTS (SELECT 1 FROM accounts_dep.closed_month c WHERE c.year = y AND c.month = m) THEN
    RAISE EXCEPTION 'Месяц закрыт для изменений' USING ERRCODE = 'PWM01',
      DETAIL = format('%s.%s', lpad(m::text, 2, '0'), y);
  END IF;
END $$;

-- The row as it was and as it becomes are both checked: a record moved out of a closed month, or
-- into one, is refused too.
CREATE OR REPLACE FUNCTION accounts_dep.smena_month_open() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
  IF TG_OP <> 'INSERT' THEN
    PERFORM accounts_dep.refuse_closed_month(extract(year FROM OLD.data)::int, extract(month FROM OLD.data)::int);
  END IF;
  IF TG_OP <> 'DELETE' THEN
    PERFORM accounts_dep.refuse_closed_month(extract(year FROM NEW.data)::int, extract(month FROM NEW.data)::int);
    RETURN NEW;
  END IF;
  RETURN OLD;
END $$;

CREATE OR REPLACE FUNCTION accounts_dep.fatigue_month_open() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
  IF TG_OP <> 'INSERT' THEN
    PERFORM accounts_dep.refuse_closed_month(coalesce(extract(year FROM OLD.d_date)::int, OLD.i_year),
                                             coalesce(extract(month FROM OLD.d_date)::int, OLD.i_mnth));
  END IF;
  IF TG_OP <> 'DELETE' THEN
    PERFORM accounts_dep.refuse_closed_month(coalesce(extract(year FROM NEW.d_date)::int, NEW.i_year),
                                             coalesce(extract(month FROM NEW.d_date)::int, NEW.i_mnth));
    RETURN NEW;
  END IF;
  RETURN OLD;
END $$;

-- Timesheet rows are checked once per statement: a month rebuild deletes and inserts hundreds of
-- rows in two statements.
CREATE OR REPLACE FUNCTION accounts_dep.h_tabel_month_open() RETURNS trigger LANGUAGE plpgsql
SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
DECLARE
  closed record;
BEGIN
  IF TG_OP = 'INSERT' THEN
    SELECT c.year, c.month INTO closed FROM accounts_dep.closed_month c
     WHERE EXISTS (SELECT 1 FROM new_rows n WHERE n.year = c.year AND n.month = c.month) LIMIT 1;
  ELSIF TG_OP = 'DELETE' THEN
    SELECT c.year, c.month INTO closed FROM accounts_dep.closed_month c
     WHERE EXISTS (SELECT 1 FROM old_rows o WHERE o.year = c.year AND o.month = c.month) LIMIT 1;
  ELSE
    SELECT c.year, c.month INTO closed FROM accounts_dep.closed_month c
     WHERE EXISTS (SELECT 1 FROM old_rows o WHERE o.year = c.year AND o.month = c.month)
        OR EXISTS (SELECT 1 FROM new_rows n WHERE n.year = c.year AND n.month = c.month) LIMIT 1;
  END IF;
  IF FOUND THEN
    PERFORM accounts_dep.refuse_closed_month(closed.year, closed.month);
  END IF;
  RETURN NULL;
END $$;

DROP TRIGGER IF EXISTS smena_month_open ON accounts_dep.smena;
CREATE TRIGGER smena_month_open BEFORE INSERT OR UPDATE OR DELETE ON accounts_dep.smena
  FOR EACH ROW EXECUTE FUNCTION accounts_dep.smena_month_open();
DROP TRIGGER IF EXISTS fatigue_month_open ON accounts_dep.fatigue;
CREATE TRIGGER fatigue_month_open BEFORE INSERT OR UPDATE OR DELETE ON accounts_dep.fatigue
  FOR EACH ROW EXECUTE FUNCTION accounts_dep.fatigue_month_open();
DROP TRIGGER IF EXISTS h_tabel_month_open_ins ON accounts_dep.h_tabel;
CREATE TRIGGER h_tabel_month_open_ins AFTER INSERT ON accounts_dep.h_tabel
  REFERENCING NEW TABLE AS new_rows FOR EACH STATEMENT EXECUTE FUNCTION accounts_dep.h_tabel_month_open();
DROP TRIGGER IF EXISTS h_tabel_month_open_upd ON accounts_dep.h_tabel;
CREATE TRIGGER h_tabel_month_open_upd AFTER UPDATE ON accounts_dep.h_tabel
  REFERENCING OLD TABLE AS old_rows NEW TABLE AS new_rows
  FOR EACH STATEMENT EXECUTE FUNCTION accounts_dep.h_tabel_month_open();
DROP TRIGGER IF EXISTS h_tabel_month_open_del ON accounts_dep.h_tabel;
CREATE TRIGGER h_tabel_month_open_del AFTER DELETE ON accounts_dep.h_tabel
  REFERENCING OLD TABLE AS old_rows FOR EACH STATEMENT EXECUTE FUNCTION accounts_dep.h_tabel_month_open();

-- Change history: every insert, change, delete and acceptance of a shift record or a household
-- entry, written by the database itself so that no path around the program escapes it. The
-- program names its login in the session (piecework.login_role, piecework.login_text,
-- piecework.workstation); other paths are known by their address and database user.
CREATE TABLE IF NOT EXISTS accounts_dep.change_history (
  id          bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
  changed_at  timestamp NOT NULL DEFAULT clock_timestamp(),
  table_name  varchar(30) NOT NULL,
  record_id   numeric(15,0),
  action      varchar(10) NOT NULL,
  worker_id   numeric(15,0),
  record_date date,
  login_role  varchar(30),
  login_text  varchar(254),
  workstation varchar(254),
  db_user     varchar(63) NOT NULL DEFAULT session_user,
  before      jsonb,
  after       jsonb
);
CREATE INDEX IF NOT EXISTS change_history_time ON accounts_dep.change_history (changed_at);
CREATE INDEX IF NOT EXISTS change_history_worker ON accounts_dep.change_history (worker_id, changed_at);

CREATE OR REPLACE FUNCTION accounts_dep.keep_history() RETURNS trigger LANGUAGE plpgsql
SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
DECLARE
  b jsonb;
  a jsonb;
  act text := lower(TG_OP);
  r jsonb;
BEGIN
  IF TG_OP <> 'INSERT' THEN b := to_jsonb(OLD); END IF;
  IF TG_OP <> 'DELETE' THEN a := to_jsonb(NEW); END IF;
  IF TG_OP = 'UPDATE' THEN
    IF a = b THEN
      RETURN NULL; -- written again as it was: nothing changed
    END IF;
    IF TG_TABLE_NAME = 'smena' AND a - 'ok' = b - 'ok' THEN
      act := CASE WHEN a->>'ok' IN ('ok', 'да') THEN 'accept' ELSE 'unaccept' END;
    END IF;
  END IF;
  r := coalesce(a, b);
  INSERT INTO accounts_dep.change_history(table_name, record_id, action, worker_id, record_date,
                                          login_role, login_text, workstation, before, after)
  VALUES (TG_TABLE_NAME, (r->>'id')::numeric, act,
          CASE TG_TABLE_NAME WHEN 'smena' THEN r->>'w_id' ELSE r->>'id_p' END::numeric,
          CASE TG_TABLE_NAME WHEN 'smena' THEN r->>'data' ELSE r->>'d_date' END::date,
          nullif(current_setting('piecework.login_role', true), ''),
          nullif(current_setting('piecework.login_text', true), ''),
          coalesce(nullif(current_setting('piecework.workstation', true), ''),
                   host(inet_client_addr()), 'local'),
          b, a);
  RETURN NULL;
END $$;

DROP TRIGGER IF EXISTS smena_history ON accounts_dep.smena;
CREATE TRIGGER smena_history AFTER INSERT OR UPDATE OR DELETE ON accounts_dep.smena
  FOR EACH ROW EXECUTE FUNCTION accounts_dep.keep_history();
DROP TRIGGER IF EXISTS fatigue_history ON accounts_dep.fatigue;
CREATE TRIGGER fatigue_history AFTER INSERT OR UPDATE OR DELETE ON accounts_dep.fatigue
  FOR EACH ROW EXECUTE FUNCTION accounts_dep.keep_history();

-- The values of one side of a change as the history list shows them: every field for an insert
-- or a delete, only the fields that differ from the other side for a change; named as the
-- windows name them.
CREATE OR REPLACE FUNCTION accounts_dep.history_values(tbl text, shown jsonb, other jsonb) RETURNS text
LANGUAGE sql IMMUTABLE AS $$
  SELECT string_agg(coalesce(l.label, f.key) || ': ' || coalesce(f.value #>> '{}', ''), '; '
                    ORDER BY coalesce(l.pos, 100), f.key)
    FROM jsonb_each(shown) f
    LEFT JOIN (VALUES ('smena', 'data', 1, 'Дата'), ('smena', 'smena', 2, 'Смена'),
                      ('smena', 'w_id', 3, 'Рабочий'), ('smena', 'i_id', 4, 'Изделие'),
                      ('smena', 'o_id', 5, 'Операция'), ('smena', 'kol_vo', 6, 'Кол-во'),
                      ('smena', 'brak', 7, 'Брак'), ('smena', 'cena', 8, 'Цена'),
                      ('smena', 'color', 9, 'Цвет'), ('smena', 'time', 10, 'Часы'),
                      ('smena', 'ok', 11, 'OK'), ('smena', 'vvod', 12, 'Заведен'),
                      ('smena', 'prize', 13, 'Премия'),
                      ('fatigue', 'd_date', 1, 'Дата'), ('fatigue', 'id_p', 2, 'Рабочий'),
                      ('fatigue', 'id_nom', 3, 'Номенклатура'), ('fatigue', 'id_o', 4, 'Работа'),
                      ('fatigue', 'cnt', 5, 'Часы'), ('fatigue', 'price', 6, 'Цена'),
                      ('fatigue', 'i_holiday', 7, 'Выходной'), ('fatigue', 'i_night', 8, 'Ночные'))
         AS l(tbl, key, pos, label) ON l.tbl = history_values.tbl AND l.key = f.key
   WHERE f.key <> 'id' AND (other IS NULL OR f.value IS DISTINCT FROM other -> f.key)
$$;
