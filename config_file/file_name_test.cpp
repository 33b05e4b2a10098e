#include "config_file/file_name.h"

#include <gtest/gtest.h>

namespace qvx {
namespace {

TEST(FileName, QvxIsAppendedUnlessTheExtensionIsQvx) {
  const struct {
    const char* chosen;
    const char* written;
  } cases[] = {
      {"set.QVX", "set.QVX"},
      {"set.qvx", "set.qvx"},
      {"set.Qvx", "set.Qvx"},
      {"set", "set.qvx"},
      {"set.txt", "set.txt.qvx"},
      {"set.", "set..qvx"},
      {"set.qvx.txt", "set.qvx.txt.qvx"},
      {"set.qvxx", "set.qvxx.qvx"},
      {"C:\\a.b\\set", "C:\\a.b\\set.qvx"},
      {"/home/a.b/set", "/home/a.b/set.qvx"},
      {"/home/a.qvx/set", "/home/a.qvx/set.qvx"},
      {"set.q:vx", "set.q:vx.qvx"},
      {"/home/.qvx", "/home/.qvx"},
      {"Настройки.QVX", "Настройки.QVX"},
      {"Настройки", "Настройки.qvx"},
  };
  for (const auto& c : cases) EXPECT_EQ(WithQvxExtension(c.chosen), c.written) << c.chosen;
}

TEST(FileName, JsonIsRecognisedByItsExtension) {
  EXPECT_TRUE(HasJsonExtension("a.json"));
  EXPECT_TRUE(HasJsonExtension("dir/a.JSON"));
  EXPECT_FALSE(HasJsonExtension("a.json.qvx"));
  EXPECT_FALSE(HasJsonExtension("a.json/b"));
  EXPECT_FALSE(HasJsonExtension("json"));
}

}  // namespace
}  // namespace qvx
