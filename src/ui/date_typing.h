#pragma once
// Dates typed by keyboard as clerks type them, "30.11.2026". A date field moves on to the next
// part by itself once a part is complete ("30" of the day), and the dot typed next then skips
// the month: "30.11.2026" came out as a wrong date or was refused. The dot that follows such a
// move is taken as already done.
class QDateEdit;

void acceptTypedDates(QDateEdit *edit);
