#include <gtest/gtest.h>

#include "files/cp1252.h"
#include "files/item_reader.h"
#include "files/item_writer.h"

namespace vela {
namespace {

std::vector<Item> AllItems(std::string_view bytes) {
  ItemReader reader(bytes);
  std::vector<Item> items;
  while (!reader.AtEnd()) items.push_back(reader.Next());
  return items;
}

TEST(Cp1252, EveryByteReadsAndWritesBack) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  std::string utf8 = Cp1252ToUtf8(all);
  std::optional<std::string> back = Utf8ToCp1252(utf8);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(*back, all);
  EXPECT_EQ(Utf8Length(utf8), all.size());
}

TEST(Cp1252, HighControlRange_MapsToWindowsCharacters) {
  EXPECT_EQ(Cp1252ToUtf8("\x80"), "€");
  EXPECT_EQ(Cp1252ToUtf8("\x84\x93\x94"), "„“”");
  EXPECT_EQ(Cp1252ToUtf8("\x9F"), "Ÿ");
  EXPECT_EQ(Cp1252ToUtf8("\xE9"), "é");
  EXPECT_EQ(*Utf8ToCp1252("Gleis 3 – Ausfahrt"), "Gleis 3 \x96 Ausfahrt");
  EXPECT_EQ(*Utf8ToCp1252("Œuvre ™"), "\x8Cuvre \x99");
}

TEST(Cp1252, CharacterOutsideTheCodePage_IsRefusedAndNamed) {
  Cp1252Refusal refusal;
  EXPECT_FALSE(Utf8ToCp1252("Signal → Nord", &refusal).has_value());
  EXPECT_EQ(refusal.character, "→");
  EXPECT_FALSE(refusal.invalid_utf8);
  // A C1 control that Windows-1252 gives a printable character has no byte of its own.
  EXPECT_FALSE(Utf8ToCp1252("\xC2\x80").has_value());
  EXPECT_FALSE(Utf8ToCp1252("\xF0\x9F\x9A\x82", &refusal).has_value());  // a train emoji
  EXPECT_EQ(refusal.character, "\xF0\x9F\x9A\x82");
}

TEST(Cp1252, BrokenUtf8_IsRefused) {
  Cp1252Refusal refusal;
  EXPECT_FALSE(Utf8ToCp1252("ab\xE9", &refusal).has_value());
  EXPECT_TRUE(refusal.invalid_utf8);
  EXPECT_FALSE(Utf8ToCp1252("\xC0\xAF").has_value());  // overlong '/'
}

TEST(Cp1252, HeadAndTail_CountCharactersNotBytes) {
  EXPECT_EQ(Utf8Length("aéb€"), 4u);
  EXPECT_EQ(Utf8Head("aéb€", 2), "aé");
  EXPECT_EQ(Utf8Tail("aéb€", 2), "b€");
  EXPECT_EQ(Utf8Tail("ab", 5), "");
}

TEST(ItemReader, CommasAndLineEnds_EndItems_QuotesAreRemoved) {
  std::vector<Item> items =
      AllItems("\"Pin\",3,0,1,\"Main, north\"\r\n  \"Dev\",0,\"\"\r\n\"End\"\r\n");
  ASSERT_EQ(items.size(), 9u);
  EXPECT_EQ(items[0], (Item{"Pin", true, 1}));
  EXPECT_EQ(items[1], (Item{"3", false, 1}));
  EXPECT_EQ(items[4], (Item{"Main, north", true, 1}));
  EXPECT_EQ(items[5], (Item{"Dev", true, 2}));
  EXPECT_EQ(items[6], (Item{"0", false, 2}));
  EXPECT_EQ(items[7], (Item{"", true, 2}));
  EXPECT_EQ(items[8], (Item{"End", true, 3}));
  // The last line needs no line end.
  ItemReader reader("\"Dev\",0,\"\"\r\n\"End\"");
  for (int i = 0; i < 3; ++i) reader.Next();
  EXPECT_EQ(reader.Next(), (Item{"End", true, 2}));
  EXPECT_TRUE(reader.AtEnd());
}

TEST(ItemReader, LeadingBlanksSkipped_SpacesInsideQuotesKept) {
  std::vector<Item> items = AllItems("  12 ,\t\" two words \"  ,x\n");
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].text, "12");
  EXPECT_EQ(items[1].text, " two words ");
  EXPECT_TRUE(items[1].quoted);
  EXPECT_EQ(items[2].text, "x");
}

TEST(ItemReader, BareAndLoneLineEnds_CountLines) {
  std::vector<Item> items = AllItems("a\nb\rc\r\n\r\nd");
  ASSERT_EQ(items.size(), 5u);
  EXPECT_EQ(items[3], (Item{"", false, 4}));  // the empty line is an empty item
  EXPECT_EQ(items[4], (Item{"d", false, 5}));
}

TEST(ItemReader, Windows1252Text_ArrivesAsUtf8) {
  std::vector<Item> items = AllItems("\"Einfahrt S\xFC\x64 \x80\"");
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].text, "Einfahrt Süd €");
}

TEST(ItemReader, UnclosedQuote_EndsWithItsLine) {
  std::vector<Item> items = AllItems("\"open,1\r\n\"Next\"\r\n");
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].text, "open,1");
  EXPECT_EQ(items[1], (Item{"Next", true, 2}));
}

TEST(ItemReader, EmptyInput_GivesOneEmptyItem) {
  ItemReader reader("");
  EXPECT_TRUE(reader.AtEnd());
  EXPECT_EQ(reader.Next(), (Item{"", false, 1}));
}

TEST(FieldReader, BadField_ProblemNamesLineTagAndValue) {
  FieldReader in("\"Ins\",12\r\n");
  EXPECT_EQ(in.NextTag().text, "Ins");
  EXPECT_EQ(in.Integer("step number", 0, 9), 0);
  ASSERT_TRUE(in.failed());
  EXPECT_EQ(in.problem().Text(), "line 1, item \"Ins\": step number 12 is out of range (0..9)");
}

TEST(FieldReader, FirstProblemSticks_LaterReadsAreSafe) {
  FieldReader in("\"Pin\",x,300\r\n");
  in.NextTag();
  EXPECT_EQ(in.Byte("pin number"), 0);
  EXPECT_EQ(in.Byte("aspect mode"), 0);
  EXPECT_EQ(in.Text("description"), "");
  EXPECT_EQ(in.problem().Text(), "line 1, item \"Pin\": pin number \"x\" is not a whole number");
}

TEST(FieldReader, QuotedNumberOrFraction_IsNotAnInteger) {
  FieldReader quoted("\"Pin\",\"3\"");
  quoted.NextTag();
  quoted.Byte("pin number");
  EXPECT_EQ(quoted.problem().what, "expected the pin number, found the text \"3\"");

  FieldReader fraction("\"PAM\",2.5");
  fraction.NextTag();
  fraction.Byte("DCC count");
  EXPECT_EQ(fraction.problem().what, "DCC count \"2.5\" is not a whole number");

  FieldReader huge("\"PAM\",99999999999999999999");
  huge.NextTag();
  huge.Byte("DCC count");
  EXPECT_TRUE(huge.failed());
}

TEST(FieldReader, RoundedNumbers_TakeFractionsHalfToEven) {
  FieldReader in("\"DCC\",2.5,3.5,-1\r\n");
  in.NextTag();
  EXPECT_EQ(in.Rounded("DCC address", 0, 510), 2);
  EXPECT_EQ(in.Rounded("DCC address", 0, 510), 4);
  EXPECT_FALSE(in.failed());
  in.Rounded("DCC address", 0, 510);
  EXPECT_EQ(in.problem().what, "DCC address -1 is out of range (0..510)");
}

TEST(FieldReader, EndOfFile_IsReportedOnTheLastLineRead) {
  FieldReader in("\"Pin\",1\r\n\"Ins\",3,\r\n");
  in.NextTag();
  in.Byte("pin number");
  in.NextTag();
  EXPECT_EQ(in.Byte("step number"), 3);
  in.NextItem();  // the empty item after the trailing comma
  EXPECT_TRUE(in.AtEnd());
  in.Byte("instruction");
  EXPECT_EQ(in.problem().Text(), "line 2, item \"Ins\": the file ends before \"End\"");
}

TEST(FieldReader, ItemsMissingOrOfTheWrongKind_NameLineAndItem) {
  // The description is missing; the next line's tag must not be taken for it.
  FieldReader missing("\"Pin\",1,0,0\r\n  \"Dev\",0,\"\"\r\n");
  missing.NextTag();
  missing.Byte("pin number");
  missing.Byte("aspect mode");
  missing.Byte("initial aspect");
  EXPECT_EQ(missing.Text("description"), "");
  EXPECT_EQ(missing.problem().Text(),
            "line 1, item \"Pin\": expected the description, found the end of the line");

  FieldReader number("\"Asp\",2,17\r\n");
  number.NextTag();
  number.Byte("aspect number");
  number.Text("aspect description");
  EXPECT_EQ(number.problem().Text(),
            "line 1, item \"Asp\": expected the aspect description, found the number 17");

  // Empty and quoted texts are texts; a line may end in a comma.
  FieldReader fine("\"ID$\",\"12\",\r\n\"Asp\",,\r\n");
  fine.NextTag();
  EXPECT_EQ(fine.Text("ID string"), "12");
  fine.NextItem();
  fine.NextTag();
  EXPECT_EQ(fine.Text("aspect number"), "");
  EXPECT_FALSE(fine.failed());
}

TEST(FieldReader, LongItems_QuotedAsTheirFirst40Characters) {
  // The reader keeps a view of its bytes, so they live in variables.
  const std::string tag_line = "\"" + std::string(5000, 'T') + "\"";
  FieldReader in(tag_line);
  in.NextTag();
  in.Byte("value");
  // The item named is the tag, cut as well.
  EXPECT_EQ(in.problem().Text(),
            "line 1, item \"" + std::string(40, 'T') + "\u2026\": the file ends before \"End\"");
  const std::string digits_line = "\"Pin\"," + std::string(1000, '9') + ",\"x\"";
  FieldReader digits(digits_line);
  digits.NextTag();
  digits.Byte("pin number");
  EXPECT_EQ(digits.problem().what,
            "pin number " + std::string(40, '9') + "\u2026 is out of range (0..255)");
  // Characters, not bytes, are counted: 41 two-byte characters.
  std::string umlauts;
  for (int i = 0; i < 41; ++i) umlauts += "\xC3\xA4";
  EXPECT_EQ(Excerpt(umlauts), umlauts.substr(0, 80) + "\u2026");
  EXPECT_EQ(Excerpt(umlauts.substr(0, 80)), umlauts.substr(0, 80));
}

TEST(FieldReader, PushedBackItem_IsReadAgain) {
  FieldReader in("5,\"PAM\"");
  Item five = in.NextItem();
  in.PushBack(five);
  EXPECT_FALSE(in.AtEnd());
  EXPECT_EQ(in.Byte("value"), 5);
  EXPECT_EQ(in.NextTag().text, "PAM");
  EXPECT_TRUE(in.AtEnd());
}

TEST(ItemWriter, Items_WrittenQuotedIndentedWithCrLf) {
  ItemWriter w;
  w.BeginLine(4);
  w.Tag("Ins");
  w.Number(0);
  w.Number(-12);
  w.Text("a, b", "a field");
  w.EndLine();
  w.BeginLine();
  w.Tag("End");
  w.EndLine();
  EXPECT_TRUE(w.ok());
  EXPECT_EQ(w.bytes(), "    \"Ins\",0,-12,\"a, b\"\r\n\"End\"\r\n");
  EXPECT_EQ(w.lines(), 2);
}

TEST(ItemWriter, NonAsciiText_IsWrittenInWindows1252) {
  ItemWriter w;
  w.BeginLine();
  w.Text("Süd €", "f");
  EXPECT_EQ(w.bytes(), "\"S\xFC\x64 \x80\"");
}

TEST(ItemWriter, UnstorableTexts_AreRefusedNamingTheField) {
  struct Case {
    std::string text;
    std::string refusal;
  };
  const Case cases[] = {
      {"say \"hi\"",
       "the description of pin 6 contains a double quote (\"), which a text item cannot hold"},
      {"a\r\nb", "the description of pin 6 contains a line break, which a text item cannot hold"},
      {"Weiche ⇄",
       "the description of pin 6 contains the character \"⇄\", which a Windows-1252 file cannot "
       "store"},
      {"\xFF\xFE", "the description of pin 6 is not valid UTF-8 text"},
  };
  for (const Case& c : cases) {
    ItemWriter w;
    w.BeginLine();
    w.Text(c.text, "the description of pin 6");
    w.Text("\"second\"", "another field");
    EXPECT_FALSE(w.ok());
    EXPECT_EQ(w.refusal(), c.refusal);
  }
}

}  // namespace
}  // namespace vela
