-- Indexes the program's lists and reports rely on, on tables of the shared database.
SET client_min_messages = warning;

-- (This migration once also indexed the persons' codes cast to numbers; a code that is not a
-- number made it fail. The next migrations index the codes safely.)

-- The reports' per-worker sums of household work look entries up by worker and date.
CREATE INDEX IF NOT EXISTS fatigue_worker_date ON accounts_dep.fatigue (id_p, d_date);
