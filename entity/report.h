// Messages the game may repeat every cycle (a state that is missing, a template that cannot be
// made): each is written once, then its repeats are counted and told at a bounded rate, so that
// a broken data file cannot flood the standard error.
#ifndef ENTITY_REPORT_H
#define ENTITY_REPORT_H

#include <initializer_list>
#include <string>
#include <string_view>

void reportLine(const std::string &line);
// The same for the line made of the pieces one after the other. They are joined in a buffer
// kept from call to call: a message that a full world repeats thousands of times a cycle
// then allocates nothing.
void reportLine(std::initializer_list<std::string_view> pieces);
// Forgets every message written, so that each is written again once (for a fresh world).
void forgetReports();

#endif
