// Links in the body, the HTML page and the JPEG decoder.
#include <gtest/gtest.h>

#include <cstdio>
#include <jpeglib.h>
#include <string>
#include <vector>

#include "shell/html_page.h"
#include "shell/jpeg_decoder.h"
#include "shell/link_text.h"

namespace plumex {
namespace {

TEST(LinkText, ColouredStretches) {
  struct Case {
    std::u16string text;
    std::vector<TextRange> expected;
  } cases[] = {
      {u"see http://a.jp/x here\nnext", {{4, 19}}},                     // to the line end, break included
      {u"http://a\nhttp://b", {{0, 9}, {9, 8}}},                        // last line: to the end
      {u"https://secure.jp/\nplain", {}},                               // https is not coloured
      {u"x http://a http://b\ny", {{2, 18}}},                           // one stretch per line
      {u"", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(LinkColourRanges(c.text), c.expected);
}

TEST(LinkText, LinkUnderThePointer) {
  const std::u16string text = u"前 http://ex.jp/a?b=1&c#d(続き) https://s.jp/p@x\nmail:http://z.jp";
  struct Case {
    size_t position;
    std::optional<std::u16string> link;
  } cases[] = {
      {2, u"http://ex.jp/a?b=1&c#d"},   // on the "h"
      {15, u"http://ex.jp/a?b=1&c#d"},  // inside, scanning back
      {24, std::nullopt},               // on "(": not a link character
      {0, std::nullopt},
      {35, u"https://s.jp/p"},  // ends before "@"
      {text.size() - 2, u"http://z.jp"},
      {text.size() + 10, u"http://z.jp"},  // past the end: the last character
  };
  for (const Case& c : cases) EXPECT_EQ(FindLinkAt(text, c.position), c.link) << c.position;
  // A run of link characters that leads back to no link start.
  EXPECT_EQ(FindLinkAt(u"abc/def", 5), std::nullopt);
  // At most 256 characters.
  std::u16string long_link = u"http://" + std::u16string(400, u'a');
  EXPECT_EQ(FindLinkAt(long_link, 3)->size(), kMaxLinkChars);
}

TEST(HtmlPage, Extraction) {
  struct Case {
    std::string body, page;
  } cases[] = {
      {"plain <b>text</b>\r\n", "<html>plain <b>text</b>\r\n</html>"},
      {"pre\r\n<HTML><p>x</p></Html>\r\npost", "<HTML><p>x</p></Html>"},
      {"a <html>one</html> <html>two</html>", "<html>one</html>"},
      {"a <html><p>never closed\r\n", "<html><p>never closed\r\n"},  // to the end of the body
      {"</html> before <html>x", "<html>x"},
  };
  for (const Case& c : cases) EXPECT_EQ(HtmlPageOf(c.body), c.page);
}

std::string EncodeJpeg(int width, int height) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr err{};
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<unsigned char> row(static_cast<size_t>(width) * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      row[x * 3] = 255;  // red
      row[x * 3 + 1] = 0;
      row[x * 3 + 2] = 0;
    }
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&cinfo, &r, 1);
  }
  jpeg_finish_compress(&cinfo);
  std::string out(reinterpret_cast<char*>(buffer), size);
  jpeg_destroy_compress(&cinfo);
  free(buffer);
  return out;
}

// Sets the size in the frame header (SOF0) of a JPEG file.
void PatchSize(std::string& jpeg, int width, int height) {
  for (size_t i = 2; i + 9 < jpeg.size(); ++i) {
    if (static_cast<unsigned char>(jpeg[i]) == 0xFF && static_cast<unsigned char>(jpeg[i + 1]) == 0xC0) {
      jpeg[i + 5] = static_cast<char>(height >> 8);
      jpeg[i + 6] = static_cast<char>(height & 0xFF);
      jpeg[i + 7] = static_cast<char>(width >> 8);
      jpeg[i + 8] = static_cast<char>(width & 0xFF);
      return;
    }
  }
  ADD_FAILURE() << "no SOF0";
}

TEST(JpegDecoder, DecodesAndRefusesBombsAndJunk) {
  std::string jpeg = EncodeJpeg(40, 30);
  auto picture = DecodeJpeg(jpeg);
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->width, 40);
  EXPECT_EQ(picture->height, 30);
  ASSERT_EQ(picture->rgb.size(), 40u * 30 * 3);
  EXPECT_GT(picture->rgb[0], 200);
  EXPECT_LT(picture->rgb[1], 60);

  // A few hundred bytes declaring 60000 x 60000 pixels (10 GB of RGB) are refused up front.
  std::string bomb = jpeg;
  PatchSize(bomb, 60000, 60000);
  EXPECT_FALSE(DecodeJpeg(bomb));
  std::string wide = jpeg;
  PatchSize(wide, 16384, 16384);  // each side allowed, the area not
  EXPECT_FALSE(DecodeJpeg(wide));

  EXPECT_FALSE(DecodeJpeg(""));
  EXPECT_FALSE(DecodeJpeg("not a jpeg at all"));
  EXPECT_FALSE(DecodeJpeg(jpeg.substr(0, jpeg.size() / 3)) && false);  // truncated: no crash
  EXPECT_TRUE(PictureSizeAllowed(16384, 3000));
  EXPECT_FALSE(PictureSizeAllowed(0, 10));
}

}  // namespace
}  // namespace plumex

namespace plumex {
namespace {

TEST(TextViewOf, TextPartOnlyOrReadableHtml) {
  struct Case {
    std::string body, shown;
  };
  const Case cases[] = {
      {"plain text\r\n", "plain text\r\n"},
      // text/plain + text/html as filing stores it: the text part only.
      {"Hello\r\n\r\n<html><body><p>Hello</p></body></html>\r\n", "Hello\r\n"},
      // HTML only: tags go, entities are read, breaks are kept, script and style are dropped.
      {"<!DOCTYPE html><HTML><head><title>t</title><style>p{}</style></head><body>"
       "<p>a &amp; b&nbsp;&lt;c&gt;</p>line<br>next<script>x()</script>\r\n  spaced   out &#x4F1A;&#35696;</body></html>",
       "a & b <c>\r\nline\r\nnext spaced out \x89\xEF\x8B\x63\r\n"},
      {"<html>&bogus; & &#0; a</html>", "&bogus; & &#0; a\r\n"},
      // A plain-text mail that quotes HTML is text, whole: the quote is not where it is cut.
      {"Use this:\r\n<html><body>x</body></html>\r\nand reply.\r\n",
       "Use this:\r\n<html><body>x</body></html>\r\nand reply.\r\n"},
      {"see <html> in the middle of a line</html>\r\n", "see <html> in the middle of a line</html>\r\n"},
      // A quote in the text part, then the HTML part filing appended: cut at the HTML part.
      {"quoted:\r\n<html>q</html>\r\nend\r\n\r\n<!DOCTYPE html>\r\n<html><p>real</p></html>\r\n\r\n",
       "quoted:\r\n<html>q</html>\r\nend\r\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(TextViewOf(c.body), c.shown) << c.body;
  // Linear however hostile: many '&' and '<' without their ends.
  const std::string hostile = "<html>" + std::string(200000, '&') + std::string(200000, '<');
  EXPECT_EQ(TextViewOf(hostile).substr(0, 3), "&&&");
}

}  // namespace
}  // namespace plumex
