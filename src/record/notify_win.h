// The program's callback for extraction (the codes of notify_codes.h). It
// only hands each report to its owner: the records to the install log, the
// errors to a box, each member handled to the install sink.
#pragma once

// Answers 1 to every code: an existing file is replaced.
int notify(int code, const char* text, ...);
