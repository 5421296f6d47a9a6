-- Demo workshop, generated relative to the day it is loaded so that the previous month and today
-- have records. Sizes are psql variables so that benchmarks can load a bigger workshop:
--   psql -v workers=400 -v products=600 -v months=12 -f db/demo.sql
\if :{?workers}
\else
\set workers 40
\endif
\if :{?products}
\else
\set products 60
\endif
\if :{?months}
\else
\set months 1
\endif
\if :{?records_per_worker}
\else
\set records_per_worker 2
\endif

SET client_min_messages = warning;
SELECT setseed(0.4242);

-- Shared reference books ----------------------------------------------------------------------
INSERT INTO cmn_department.department(s_code, s_caption)
VALUES ('01', 'Цех сборки'), ('02', 'Малярный участок'), ('03', 'Заготовительный участок');

INSERT INTO hrms_staffpos.staffpos(id_department, s_code, s_caption, d_begin)
SELECT d.id, p.code, p.caption, date '2015-01-01'
  FROM (VALUES ('01', 'Сборщик'), ('02', 'Слесарь-сборщик'), ('03', 'Маляр'),
               ('04', 'Штамповщик'), ('05', 'Резчик'), ('06', 'Сварщик'),
               ('07', 'Упаковщик'), ('08', 'Подсобный рабочий')) AS p(code, caption)
  JOIN cmn_department.department d ON d.s_code = CASE WHEN p.code IN ('03') THEN '02'
                                                     WHEN p.code IN ('04', '05') THEN '03'
                                                     ELSE '01' END;

INSERT INTO adm_role.roles(s_name, s_caption, d_begin, b_active)
VALUES ('worker', 'Рабочий', date '2015-01-01', true),
       ('foreman', 'Мастер', date '2015-01-01', true),
       ('storekeeper', 'Кладовщик', date '2015-01-01', false);

INSERT INTO cmn_classifier.item(id_classifier, id_level, s_code, s_caption)
VALUES (1, 2, 'G1', 'Стеллажи'), (1, 2, 'G2', 'Шкафы металлические'), (1, 2, 'G3', 'Полки'),
       (1, 2, 'G4', 'Кронштейны'), (1, 2, 'G5', 'Тележки'), (1, 2, 'G6', 'Ящики инструментальные');

-- Workers ---------------------------------------------------------------------------------------
INSERT INTO accounts_dep.person(fio, s_staffpos_hl)
SELECT s.surname || ' ' || substr('АБВГДЕИКЛМНОПРСТ', 1 + (g * 7) % 16, 1) || '.'
                  || substr('АВГДЕИКЛМНОПРСТ', 1 + (g * 11) % 15, 1) || '.'
                  || CASE WHEN g > 40 THEN ' (' || g || ')' ELSE '' END,
       (SELECT s_caption FROM hrms_staffpos.staffpos ORDER BY id OFFSET (g % 8) LIMIT 1)
  FROM generate_series(1, :workers) AS g
  JOIN LATERAL (SELECT (ARRAY['Иванов', 'Петров', 'Сидоров', 'Кузнецов', 'Смирнов', 'Попов',
                              'Васильев', 'Соколов', 'Михайлов', 'Новиков', 'Фёдоров', 'Морозов',
                              'Волков', 'Алексеев', 'Лебедев', 'Семёнов', 'Егоров', 'Павлов',
                              'Козлов', 'Степанов', 'Николаев', 'Орлов', 'Андреев', 'Макаров',
                              'Никитин', 'Захаров', 'Зайцев', 'Соловьёв', 'Борисов', 'Яковлев',
                              'Григорьев', 'Романов', 'Воробьёв', 'Сергеев', 'Кузьмин', 'Фролов',
                              'Александров', 'Дмитриев', 'Королёв', 'О''Нил'])[1 + (g - 1) % 40]
                      AS surname) s ON true;

-- Products --------------------------------------------------------------------------------------
SELECT setval('cmn_gds_and_srv.gds_and_srv_id_seq', 10000);
INSERT INTO cmn_gds_and_srv.gds_and_srv(s_caption, s_description, id_msm_bs, massa, id_class_item)
SELECT (ARRAY['СТ', 'ШМ', 'ПЛ', 'КР', 'ТЛ', 'ЯИ'])[1 + (g - 1) % 6] || '-' || (100 + g)::text,
       '', 6, (1 + (g % 4))::numeric,
       (SELECT id FROM cmn_classifier.item WHERE id_level = 2 ORDER BY id OFFSET ((g - 1) % 6) LIMIT 1)
  FROM generate_series(1, :products) AS g;

-- Household work is priced through two fixed rows of the goods and the price list.
INSERT INTO cmn_gds_and_srv.gds_and_srv(id, s_caption, s_description, id_msm_bs, massa, id_class_item)
VALUES (7777, 'Хоз. работы', '', 6, 0, NULL), (7778, 'Ср. сдельная', '', 6, 0, NULL);

-- Operation types and the price list ------------------------------------------------------------
INSERT INTO accounts_dep.vid_oper(vid)
VALUES ('Резка'), ('Гибка'), ('Штамповка'), ('Сварка'), ('Зачистка'), ('Сборка'),
       ('ПОКРАСКА'), ('ПОКРАСКА ПОРОШКОВАЯ'), ('Упаковка'), ('Контроль ОТК');

INSERT INTO accounts_dep.oper(i_id, vid, naimen, cena_new)
SELECT g.id, v.id, CASE WHEN v.vid IN ('Резка', 'Гибка', 'Штамповка') THEN 1 ELSE 0 END, 0
  FROM cmn_gds_and_srv.gds_and_srv g
  JOIN accounts_dep.vid_oper v ON v.id < 7777 AND (g.id + v.id) % 3 <> 0
 WHERE g.id > 10000;

INSERT INTO accounts_dep.oper(i_id, vid, naimen, cena_new)
VALUES (7777, 7777, 0, 0), (7778, 7778, 0, 0);

-- One to three norms per row; the list price is the smallest of them.
INSERT INTO accounts_dep.norm(o_id, price, norma, prize)
SELECT o.id, round((8 + random() * 40)::numeric, 2)::double precision * (1 + n * 0.1),
       50 * (n + 1), CASE WHEN n = 0 THEN 0 ELSE 5 * n END
  FROM accounts_dep.oper o
  JOIN generate_series(0, 2) AS n ON n <= o.id % 3
 WHERE o.vid < 7777;
INSERT INTO accounts_dep.norm(o_id, price, norma, prize)
SELECT id, CASE WHEN vid = 7777 THEN 150 ELSE 0 END, 1, 0 FROM accounts_dep.oper WHERE vid >= 7777;

-- The generated past is nobody's action: the change history starts with the demo's first use.
ALTER TABLE accounts_dep.smena DISABLE TRIGGER smena_history;
ALTER TABLE accounts_dep.fatigue DISABLE TRIGGER fatigue_history;

-- Shift records from the first day of the earlier months up to today ------------------------------
CREATE TEMP TABLE demo_days AS
SELECT d::date AS day, extract(isodow FROM d) IN (6, 7) AS day_off
  FROM generate_series(date_trunc('month', current_date) - make_interval(months => :months),
                       current_date, interval '1 day') AS d;

-- Most days a worker does 8 hours, some days 4 to 12, on one operation or on several.
CREATE TEMP TABLE demo_work AS
SELECT p.id AS w_id, day, day_off,
       CASE WHEN p.id % 10 < 6 THEN 1 WHEN p.id % 10 < 8 THEN 2 WHEN p.id % 10 < 9 THEN 3 ELSE 1 END
         AS smena,
       CASE WHEN random() < 0.8 THEN 8 ELSE 4 + floor(random() * 9)::int END AS hours,
       CASE WHEN random() < 0.55 THEN 1 ELSE :records_per_worker END AS n
  FROM accounts_dep.person p CROSS JOIN demo_days
 WHERE NOT day_off OR random() < 0.08;

-- Pieces per hour by operation type: cutting and packing are quick, welding and assembly slow.
CREATE TEMP TABLE demo_pace AS
SELECT id AS vid,
       CASE WHEN vid IN ('Резка', 'Упаковка') THEN 12 WHEN vid IN ('Гибка', 'Штамповка') THEN 9
            WHEN vid LIKE '%КРАСКА%' THEN 6 WHEN vid IN ('Сварка', 'Сборка') THEN 2 ELSE 4 END AS per_hour
  FROM accounts_dep.vid_oper;

INSERT INTO accounts_dep.smena(data, smena, w_id, i_id, o_id, cena, kol_vo, brak, color, time, ok,
                               vvod, prize, id_doc, id_doc_item, f_gds_qty_use, id_gds_use, id_cons_use)
SELECT w.day, s.smena, w.w_id, o.i_id, o.id,
       round((pr.price * CASE WHEN w.day_off THEN 2 ELSE 1 END
                       * CASE s.smena WHEN 3 THEN 1.2 WHEN 4 THEN 1.5 ELSE 1 END)::numeric, 4),
       greatest(1, round(h.t * pace.per_hour * (0.7 + random() * 0.6)))::numeric,
       CASE WHEN random() < 0.9 THEN 0 ELSE 1 + floor(random() * 3)::int END,
       CASE WHEN v.vid LIKE '%КРАСКА%' THEN 1000 + (o.id % 7) * 13 ELSE 0 END,
       h.t,
       CASE WHEN w.day < current_date - 2 AND random() < 0.85 THEN 'ok'
            WHEN random() < 0.3 THEN 'ok' WHEN random() < 0.05 THEN 'да' ELSE 'no' END,
       w.day, 0, 0, 0, 0, 0, 0
  FROM demo_work w
  JOIN LATERAL (SELECT w.smena, w.n, w.hours
                UNION ALL
                SELECT 4, 1, 2 + floor(random() * 3)::int WHERE random() < 0.07) s(smena, n, hours) ON true
  JOIN LATERAL generate_series(1, s.n) AS k ON true
  JOIN LATERAL (SELECT s.hours / s.n + CASE WHEN k <= s.hours % s.n THEN 1 ELSE 0 END AS t) h ON true
  JOIN LATERAL (SELECT id, i_id, vid FROM accounts_dep.oper
                 WHERE vid < 7777 AND id = (SELECT min(id) FROM accounts_dep.oper WHERE vid < 7777)
                     + ((w.w_id * 7 + extract(doy FROM w.day)::int * 3 + k * 17 + s.smena)
                        % (SELECT count(*) FROM accounts_dep.oper WHERE vid < 7777))) o ON true
  JOIN accounts_dep.vid_oper v ON v.id = o.vid
  JOIN demo_pace pace ON pace.vid = o.vid
  JOIN LATERAL (SELECT min(price) AS price FROM accounts_dep.norm WHERE o_id = o.id) pr ON true;

-- Household work and work at the average piece rate, a few hours a week -------------------------
INSERT INTO accounts_dep.fatigue(id_nom, id_o, id_p, d_date, i_mnth, i_year, i_smena, cnt, price,
                                 i_holiday, i_night)
SELECT (SELECT id FROM cmn_classifier.item WHERE id_level = 2 ORDER BY id OFFSET (w.w_id % 6) LIMIT 1),
       CASE WHEN random() < 0.5 THEN 7777 ELSE 7778 END, w.w_id, w.day,
       extract(month FROM w.day), extract(year FROM w.day), 1, 1 + floor(random() * 4)::int,
       150, CASE WHEN w.day_off THEN 1 ELSE 0 END, CASE WHEN random() < 0.1 THEN 1 ELSE 0 END
  FROM demo_work w
 WHERE random() < 0.06;

-- Average-piece entries are priced at the month's end by the office's recalculation ("Расчитать
-- ср.сд."): the worker's piece money per hour on the group's products in that month, doubled on a
-- day off. The demo has run it for every past month; the current month waits for its end.
UPDATE accounts_dep.fatigue SET price = 0 WHERE id_o = 7778;
UPDATE accounts_dep.fatigue f
   SET price = coalesce((
       SELECT CASE WHEN coalesce(sum(s.time), 0)::numeric(10,2) = 0 THEN 0
                   ELSE coalesce(sum((s.kol_vo - s.brak) * (s.cena + s.cena * f.i_holiday)) / sum(time), 0)::numeric(10,2) END
         FROM cmn_classifier.item i, accounts_dep.smena s, accounts_dep.izdel gas, accounts_dep.person p
        WHERE i.id_level = 2 AND s.i_id = gas.id AND gas.id_class_item = i.id
          AND s.data < make_date(f.i_year, f.i_mnth, 1) + interval '1 month'
          AND s.data >= make_date(f.i_year, f.i_mnth, 1)
          AND p.id = s.w_id AND p.id = f.id_p AND i.id = f.id_nom
        GROUP BY i.s_caption, i.id, p.id), 0)
 WHERE id_o = 7778 AND make_date(f.i_year, f.i_mnth, 1) < date_trunc('month', current_date);

ALTER TABLE accounts_dep.smena ENABLE TRIGGER smena_history;
ALTER TABLE accounts_dep.fatigue ENABLE TRIGGER fatigue_history;

-- A few actions of the last working day as two workstations leave them in the history: the
-- warehouse accepts three records, an administrator corrects a quantity.
SELECT set_config('piecework.login_role', 'Склад', false), set_config('piecework.login_text', 'tivon', false),
       set_config('piecework.workstation', 'sklad', false);
UPDATE accounts_dep.smena SET ok = 'ok'
 WHERE id IN (SELECT id FROM accounts_dep.smena
               WHERE data = (SELECT max(data) FROM accounts_dep.smena WHERE data < current_date) AND ok = 'no'
               ORDER BY id LIMIT 3);
SELECT set_config('piecework.login_role', 'Администратор', false),
       set_config('piecework.login_text', '7093', false), set_config('piecework.workstation', 'kontora', false);
UPDATE accounts_dep.smena SET kol_vo = kol_vo + 1
 WHERE id = (SELECT min(id) FROM accounts_dep.smena
              WHERE data = (SELECT max(data) FROM accounts_dep.smena WHERE data < current_date));
SELECT set_config('piecework.login_role', '', false), set_config('piecework.login_text', '', false),
       set_config('piecework.workstation', '', false);

-- The monthly timesheet as the editors would have left it -----------------------------------------
DO $$
DECLARE
  days text := '';
BEGIN
  FOR k IN 1..31 LOOP
    days := days || format(', sum(t) FILTER (WHERE extract(day FROM day) = %s)', k);
  END LOOP;
  EXECUTE 'INSERT INTO accounts_dep.h_tabel(w_id, smena, i_type, i_night, month, year, '
       || (SELECT string_agg('d' || k, ', ') FROM generate_series(1, 31) k) || ') '
       || 'SELECT w_id, smena, i_type, i_night, extract(month FROM day), extract(year FROM day)'
       || days
       || ' FROM (SELECT w_id, smena, 0 AS i_type, 0 AS i_night, data AS day, time AS t FROM accounts_dep.smena'
       || '       UNION ALL'
       || '       SELECT id_p, 0, id_o, i_night, d_date, cnt FROM accounts_dep.fatigue) src'
       || ' GROUP BY w_id, smena, i_type, i_night, extract(month FROM day), extract(year FROM day)';
END $$;

ANALYZE accounts_dep.smena, accounts_dep.oper, accounts_dep.norm, accounts_dep.h_tabel,
        accounts_dep.fatigue, accounts_dep.person, cmn_contractor.person, cmn_gds_and_srv.gds_and_srv;
