-- Indexes the program's lists and reports rely on, on tables of the shared database.
SET client_min_messages = warning;

-- The day's sheet matches a record's worker by id or by code ("s_code::t_id = w_id"); this index
-- on the very same expression lets each record find its persons directly, so opening a day does
-- not grow with the number of persons in the company (the sheet already needs every code to be a
-- number).
CREATE INDEX IF NOT EXISTS person_code_as_id ON cmn_contractor.person ((s_code::t_id));

-- The reports' per-worker sums of household work look entries up by worker and date.
CREATE INDEX IF NOT EXISTS fatigue_worker_date ON accounts_dep.fatigue (id_p, d_date);
