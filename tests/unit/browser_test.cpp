#include "picking/browser.h"

#include <gtest/gtest.h>

#include <string>

#include "core/text.h"

namespace vantro::picking {
namespace {

TEST(BrowserDecision, ExactImageFileNamesOnly) {
  struct Case {
    std::u16string path;
    bool browser;
  } cases[] = {
      {u"C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe", true},
      {u"C:\\PROGRAM FILES\\GOOGLE\\CHROME\\APPLICATION\\CHROME.EXE", true},
      {u"C:/Program Files/Mozilla Firefox/firefox.exe", true},
      {u"C:\\mixed/separators\\MsEdge.exe", true},
      {u"arc.exe", true},
      {u"Brave.exe", true},
      {u"D:\\tools\\opera.exe", true},
      {u"D:\\tools\\vivaldi.exe", true},
      {u"C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE", true},
      {u"C:\\apps\\chrome", false},
      {u"C:\\apps\\chromium.exe", false},
      {u"C:\\apps\\chrome.exe.bak", false},
      {u"C:\\apps\\mychrome.exe", false},
      {u"C:\\chrome.exe\\notepad.exe", false},
      {u"C:\\apps\\chrome.exe ", false},
      {u"C:\\apps\\", false},
      {u"", false},
      {u"C:\\Windows\\notepad.exe", false},
      {u"C:\\apps\\\uFF43hrome.exe", false},    // a full-width letter is no ASCII letter
      {u"C:\\apps\\\u0130explore.exe", false},  // İ lower-cases to i and a combining dot
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(text::to_utf8(c.path));
    EXPECT_EQ(is_browser_image_path(c.path), c.browser);
  }
}

TEST(BrowserDecision, UnpairedSurrogatesDoNotMatch) {
  const char16_t path[] = {u'C', u':', u'\\', 0xD800, u'\\', u'c', u'h', u'r',
                           u'o', u'm', u'e',  u'.',   u'e',  u'x', u'e', 0};
  EXPECT_TRUE(is_browser_image_path(path));  // in a folder name it plays no part
  const char16_t name[] = {u'c', u'h', u'r', u'o', u'm', u'e', 0xDC00, u'.', u'e', u'x', u'e', 0};
  EXPECT_FALSE(is_browser_image_path(name));
}

TEST(BrowserDecision, FileNameIsTheTextAfterTheLastSeparator) {
  EXPECT_EQ(image_file_name(u"C:\\a\\b.exe"), u"b.exe");
  EXPECT_EQ(image_file_name(u"C:/a/b.exe"), u"b.exe");
  EXPECT_EQ(image_file_name(u"C:\\a/b\\c.exe"), u"c.exe");
  EXPECT_EQ(image_file_name(u"plain.exe"), u"plain.exe");
  EXPECT_EQ(image_file_name(u"C:\\a\\"), u"");
}

}  // namespace
}  // namespace vantro::picking
