#include "archive/variable_table.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(variable_table, set_replaces_and_insert_if_absent_never_does) {
  variable_table table;
  EXPECT_TRUE(table.insert_if_absent("parameters", "from the archive"));
  EXPECT_FALSE(table.insert_if_absent("parameters", "read later"));
  EXPECT_EQ("from the archive", table.get("parameters"));

  table.set("source", "C:\\Temp\\TVN1");
  EXPECT_FALSE(table.insert_if_absent("source", "archive value"));
  EXPECT_EQ("C:\\Temp\\TVN1", table.get("source"));
  table.set("source", "");
  EXPECT_EQ("", table.get("source"));
}

TEST(variable_table, get_adds_an_absent_key_and_find_never_does) {
  variable_table table;
  EXPECT_EQ(nullptr, table.find("msilog"));
  EXPECT_TRUE(table.entries().empty());

  EXPECT_EQ("", table.get("msilog"));
  const std::string* found = table.find("msilog");
  ASSERT_NE(nullptr, found);
  EXPECT_EQ("", *found);
  // The key now exists, so the archive can no longer set it.
  EXPECT_FALSE(table.insert_if_absent("msilog", "ON"));
}

TEST(variable_table, keys_are_exact_bytes_in_unsigned_order) {
  variable_table table;
  table.set("Key", "upper");
  table.set(std::string("k\0y", 3), "with a zero byte");
  table.set("key", "lower");
  table.set("ke", "prefix");
  table.set("\xe9t\xe9", "high byte");

  EXPECT_EQ(nullptr, table.find("KEY"));
  EXPECT_EQ(nullptr, table.find("key "));
  EXPECT_EQ(nullptr, table.find("k"));
  ASSERT_NE(nullptr, table.find(std::string("k\0y", 3)));
  EXPECT_EQ("with a zero byte", *table.find(std::string("k\0y", 3)));
  EXPECT_EQ("lower", *table.find("key"));

  std::vector<std::string> keys;
  for (const auto& entry : table.entries())
    keys.push_back(entry.first);
  const std::vector<std::string> expected = {"Key", std::string("k\0y", 3), "ke", "key",
                                             "\xe9t\xe9"};
  EXPECT_EQ(expected, keys);
}

}  // namespace
