// Removals change the tree in order, whatever order they come in: a removed value's
// notes go in front of the value that follows it at that moment (or to the key's end),
// and a removed key takes exactly the keys below it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "winsys/RegistryTree.h"

namespace qm {
namespace {

constexpr const char* kKey = "HKEY_CURRENT_USER\\K";
const RegValue kText{kRegSz, "x"};

// A key whose values, in order, each have a note of the same name in lower case, and
// whose end holds the note "end".
RegistryTree KeyWithNotes(const std::vector<std::string>& names) {
  RegistryTree tree;
  tree.AddKey(kKey);
  for (const std::string& name : names) {
    tree.Set(kKey, name, kText);
    std::string note = name;
    for (char& c : note) c = static_cast<char>(c - 'A' + 'a');
    tree.AddNotes(kKey, NotePlace::AboveValue, name, {note});
  }
  tree.AddNotes(kKey, NotePlace::BelowKey, "", {"end"});
  return tree;
}

struct Shown {
  std::vector<std::string> names;
  std::vector<RegistryNotes> notes;
  RegistryNotes below;
};

Shown Show(const RegistryTree& tree) {
  Shown shown;
  const RegistryKey& key = tree.Keys().at(0);
  for (const auto& [name, value] : key.Values) shown.names.push_back(name);
  shown.notes = key.ValueNotes;
  shown.below = key.Below;
  return shown;
}

using Notes = std::vector<RegistryNotes>;

TEST(RegistryTree, RemovedValuesHandTheirNotesOnInTheOrderTheyStood) {
  RegistryTree tree = KeyWithNotes({"A", "B", "C", "D"});
  // C's notes go above D; then B's in front of them, D being what follows B by then.
  ASSERT_TRUE(tree.Remove(kKey, "C"));
  ASSERT_TRUE(tree.Remove(kKey, "b"));
  EXPECT_FALSE(tree.Remove(kKey, "C"));
  // The last value's notes, and those it was handed, go in front of the key's end; a
  // value added afterwards comes after the values, without them.
  ASSERT_TRUE(tree.Remove(kKey, "D"));
  tree.Set(kKey, "E", kText);
  tree.AddNotes(kKey, NotePlace::BelowKey, "", {"later"});
  Shown shown = Show(tree);
  EXPECT_EQ(shown.names, (std::vector<std::string>{"A", "E"}));
  EXPECT_EQ(shown.notes, (Notes{{"a"}, {}}));
  EXPECT_EQ(shown.below, (RegistryNotes{"b", "c", "d", "end", "later"}));

  // Removals after the tree was looked at go on from what it shows.
  ASSERT_TRUE(tree.Remove(kKey, "A"));
  EXPECT_EQ(Show(tree).notes, (Notes{{"a"}}));
  ASSERT_TRUE(tree.Remove(kKey, "E"));
  shown = Show(tree);
  EXPECT_TRUE(shown.names.empty());
  EXPECT_EQ(shown.below, (RegistryNotes{"a", "b", "c", "d", "end", "later"}));
}

TEST(RegistryTree, ValuesRemovedFromTheEndAndAddedAgain) {
  RegistryTree tree = KeyWithNotes({"P", "Q", "R"});
  ASSERT_TRUE(tree.Remove(kKey, "R"));
  ASSERT_TRUE(tree.Remove(kKey, "Q"));
  // Q comes back as a new value at the end, and P now hands its notes on to it.
  tree.Set(kKey, "Q", RegValue{kRegSz, "again"});
  EXPECT_EQ(tree.Find(kKey, "Q")->Data, "again");
  ASSERT_TRUE(tree.Remove(kKey, "P"));
  tree.Set(kKey, "S", kText);
  const Shown shown = Show(tree);
  EXPECT_EQ(shown.names, (std::vector<std::string>{"Q", "S"}));
  EXPECT_EQ(shown.notes, (Notes{{"p"}, {}}));
  EXPECT_EQ(shown.below, (RegistryNotes{"q", "r", "end"}));
}

TEST(RegistryTree, ARemovedKeyTakesTheKeysBelowItAndNoOthers) {
  const std::string hive = "HKEY_CURRENT_USER\\";
  RegistryTree tree;
  // "!" sorts before the backslash and "C" after it: neither key is below A\B (or Z\Y).
  for (const char* path :
       {"A", "A\\B", "A\\B!", "A\\B\\C", "A\\B\\C\\D", "A\\BC", "Z\\Y!", "Z\\Y\\X"})
    tree.Set(hive + path, "v", kText);
  tree.RemoveKey(hive + "a\\b");
  tree.RemoveKey(hive + "Nothing\\Here");
  std::vector<std::string> left;
  for (const RegistryKey& key : tree.Keys()) left.push_back(key.Path.substr(hive.size()));
  EXPECT_EQ(left, (std::vector<std::string>{"A", "A\\B!", "A\\BC", "Z\\Y!", "Z\\Y\\X"}));
  EXPECT_TRUE(tree.HasKey(hive + "A"));
  EXPECT_FALSE(tree.HasKey(hive + "A\\B"));
  EXPECT_FALSE(tree.HasKey(hive + "A\\B\\C"));
  EXPECT_EQ(tree.Find(hive + "A\\B\\C", "v"), nullptr);
  EXPECT_FALSE(tree.Remove(hive + "A\\B\\C\\D", "v"));
  // A key is there when a key below it is, and only then.
  EXPECT_TRUE(tree.HasKey(hive + "z\\y"));
  EXPECT_FALSE(tree.HasKey(hive + "Z\\Y\\X\\W"));
  EXPECT_FALSE(tree.HasKey(hive + "Z\\"));

  // Made again, the key comes last, with nothing of what it held.
  tree.Set(hive + "A\\b", "w", kText);
  EXPECT_EQ(tree.Find(hive + "A\\B", "v"), nullptr);
  EXPECT_FALSE(tree.HasKey(hive + "A\\B\\C"));
  ASSERT_EQ(tree.Keys().size(), 6u);
  EXPECT_EQ(tree.Keys().back().Path, hive + "A\\b");
  ASSERT_EQ(tree.Keys().back().Values.size(), 1u);
  EXPECT_EQ(tree.Keys().back().Values[0].first, "w");
}

}  // namespace
}  // namespace qm
