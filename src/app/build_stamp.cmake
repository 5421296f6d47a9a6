# Writes the build stamp of the program: date as YYYYMMDD and time as seconds since midnight.
string(TIMESTAMP stamp_date "%Y%m%d")
string(TIMESTAMP stamp_h "%H")
string(TIMESTAMP stamp_m "%M")
string(TIMESTAMP stamp_s "%S")
math(EXPR stamp_time "${stamp_h} * 3600 + ${stamp_m} * 60 + ${stamp_s}")
# Leading zeros would make the numbers octal in C++.
math(EXPR stamp_date "${stamp_date} + 0")
file(WRITE "${OUT}.tmp" "// Generated on every build.\nint programBuildDate() { return ${stamp_date}; }\nint programBuildTime() { return ${stamp_time}; }\n")
file(RENAME "${OUT}.tmp" "${OUT}")
