#include "server/static_files.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/scratch_folder.h"

namespace qvx::server {
namespace {

TEST(StaticFiles, ServesOnlyRegularFilesInsideItsFolder) {
  ScratchFolder folder("static");
  std::filesystem::create_directories(folder.Root() / "page" / "sub");
  ScratchFolder::Write(folder.Path("page/index.html"), "<!doctype html>");
  ScratchFolder::Write(folder.Path("page/main.js"), "1;");
  ScratchFolder::Write(folder.Path("page/sub/a.wasm"), "\0asm");
  ScratchFolder::Write(folder.Path("secret.txt"), "secret");
  std::filesystem::create_symlink(folder.Path("secret.txt"), folder.Path("page/out.txt"));
  std::filesystem::create_symlink(folder.Path("page/main.js"), folder.Path("page/in.js"));
  const StaticFiles files(folder.Path("page"));

  struct Case {
    std::string path;
    int status;
    std::string type;
  };
  const Case cases[] = {
      {"/", 200, "text/html; charset=utf-8"},
      {"/index.html", 200, "text/html; charset=utf-8"},
      {"/main.js", 200, "text/javascript; charset=utf-8"},
      {"/sub/a.wasm", 200, "application/wasm"},
      {"/in.js", 200, "text/javascript; charset=utf-8"},
      {"/sub/", 404, ""},
      {"/sub", 404, ""},
      {"/../secret.txt", 404, ""},
      {"/sub/../../secret.txt", 404, ""},
      {"/sub/../main.js", 404, ""},
      {"/out.txt", 404, ""},
      {"/..\\secret.txt", 404, ""},
      {std::string("/main.js\0.png", 13), 404, ""},
      {"main.js", 404, ""},
      {"/missing.js", 404, ""},
  };
  for (const Case& c : cases) {
    const Response response = files.Serve(c.path);
    EXPECT_EQ(response.status, c.status) << c.path;
    if (c.status == 200) {
      EXPECT_EQ(response.content_type, c.type) << c.path;
      EXPECT_EQ(response.headers.front(),
                (std::pair<std::string, std::string>{"Cache-Control", "no-cache"}));
    } else {
      EXPECT_EQ(response.body.find("secret"), std::string::npos) << c.path;
    }
  }
  EXPECT_EQ(StaticFiles(folder.Path("nothing")).Serve("/").status, 404);
}

}  // namespace
}  // namespace qvx::server
