// Messages the game may repeat every cycle (a state that is missing, a template that cannot be
// made): each is written once, then its repeats are counted and told at a bounded rate, so that
// a broken data file cannot flood the standard error.
#ifndef ENTITY_REPORT_H
#define ENTITY_REPORT_H

#include <string>

void reportLine(const std::string &line);
// Forgets every message written, so that each is written again once (for a fresh world).
void forgetReports();

#endif
