#pragma once
// The month rebuild as the office's statements have always run it: a look-up and a write per day
// and key. The reference the set-based rebuild is compared with, in tests and in the benchmark.
class TDataModule6;

void literalRebuild(TDataModule6 &dm, bool household, int month, int year);
