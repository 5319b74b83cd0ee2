#pragma once
// %name% references in a text replaced by the values of a variable_table, recursively.
#include <cstddef>
#include <string>

class variable_table;

// The most work one expansion does: a unit is one character scanned or one character inserted,
// counted over the whole call with its nested expansions. A few kilobytes of values that refer to
// one another many times can otherwise ask for an exponentially long text. Real texts (command
// lines of at most 32 KiB) stay far below these 4 Mi units; the result is never longer than the
// text plus the limit.
constexpr std::size_t expansion_work_limit = std::size_t(1) << 22;

// A reference is a run of '%', a name, and a closing '%'; when the name is a key, the last '%' of
// the run, the name and the closing '%' are replaced by the key's value, itself expanded first,
// and scanning goes on after the inserted text. An unknown name stays as written and its closing
// '%' may open the next reference. A reference to a variable that is already being expanded
// further out also stays as written, so self-referring values terminate. Once the work limit is
// reached no further reference is replaced: the rest of the text stays as written.
std::string expand_variables(const std::string& text, const variable_table& table);
std::string expand_variables(const std::string& text, const variable_table& table,
                             std::size_t work_limit);
