#include "settings/CnxIniDocument.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

TEST(CnxIniDocument, FindsKeysRegardlessOfCaseAndSpacing) {
    const CnxIniDocument document(
        "top=before any section\n[Main]\n  Width  =  640  \nTitle=K740RX\r\nEmpty=\n;Hidden=1\n"
        "no equals sign\n=orphan value\n[  Receiver 0 ]\nVolume=16\n");

    EXPECT_EQ(document.Find("MAIN", "width"), "640");
    EXPECT_EQ(document.Find("main", "TITLE"), "K740RX");
    EXPECT_EQ(document.Find("receiver 0", "VOLUME"), "16");
    EXPECT_FALSE(document.Find("Main", ";Hidden"));
    EXPECT_FALSE(document.Find("Main", "no equals sign"));
    EXPECT_FALSE(document.Find("Main", "Volume"));
    EXPECT_FALSE(document.Find("Other", "Width"));
    EXPECT_FALSE(document.Find("", "top"));
}

TEST(CnxIniDocument, TheFirstOfTwiceWrittenKeysCountsInWhateverOrderKeysAreUsed) {
    CnxIniDocument document("[S]\nA=1\nB=2\nC=3\na=4\n[T]\nX=1\nY=2\nZ=3\n[s]\nB=9\n");
    // Read in file order, backwards and skipping about: each read finds the same line.
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(document.Find("S", "C"), "3");
        EXPECT_EQ(document.Find("S", "A"), "1") << "the first A, never the later a";
        EXPECT_EQ(document.Find("S", "B"), "2") << "the first section S, never the later s";
        EXPECT_EQ(document.Find("T", "Z"), "3");
        EXPECT_EQ(document.Find("T", "X"), "1");
        EXPECT_EQ(document.Find("T", "Y"), "2");
        EXPECT_FALSE(document.Find("T", "W"));
    }
    document.Set("S", "C", "5");
    document.Set("S", "A", "6");
    document.Set("T", "W", "7");
    document.Set("T", "X", "8");
    EXPECT_EQ(document.Find("S", "A"), "6");
    EXPECT_EQ(document.Find("T", "W"), "7");
    EXPECT_EQ(document.ToText(), "[S]\nA=6\nB=2\nC=5\na=4\n[T]\nX=8\nY=2\nZ=3\nW=7\n[s]\nB=9\n");
}

TEST(CnxIniDocument, UntouchedLinesStayAsTheyWereInTheirPlace) {
    const std::string text =
        "; settings\nloose line\n\n[Unknown]\n  odd = spacing  \r\n"
        "[Known]\n#hash line\nValue=1\n\n[Trailing]\nx=y\n";
    CnxIniDocument document(text);
    EXPECT_EQ(document.ToText(), text);

    document.Set("Known", "Value", "2");
    document.Set("Known", "Added", "3");
    document.Set("New", "Key", " padded ");
    EXPECT_EQ(document.Find("New", "Key"), "padded");
    // The changed value in its place, the new key after it, the new section at the end.
    std::string expected = text;
    expected.replace(expected.find("Value=1\n"), 8, "Value=2\nAdded=3\n");
    EXPECT_EQ(document.ToText(), expected + "[New]\nKey= padded \n");
}

TEST(CnxIniDocument, ASectionNamedWithBracketsReadsBackAsWritten) {
    // Sections named after a radio's serial hold whatever the serial holds.
    CnxIniDocument written("[RADIO 77]\nSerialNumber=77]x\n");
    written.Set("RADIO 77]x", "Volume", "9");
    written.Set("RADIO [y", "Volume", "3");

    CnxIniDocument reread(written.ToText());
    EXPECT_EQ(reread.Find("RADIO 77]x", "Volume"), "9");
    EXPECT_EQ(reread.Find("RADIO [y", "Volume"), "3");
    EXPECT_FALSE(reread.Find("RADIO 77", "Volume")) << "the old section stays its own";
    reread.Set("RADIO 77]x", "Volume", "9");
    EXPECT_EQ(reread.ToText(), written.ToText()) << "writing the same again adds no section";
}

TEST(CnxIniDocument, BlankLineAtTheEndIsAddedOnlyOnce) {
    CnxIniDocument document("[S]\nk=v");
    document.EndWithBlankLine();
    document.EndWithBlankLine();
    EXPECT_EQ(document.ToText(), "[S]\nk=v\n\n");
    document.Set("S", "l", "w");
    document.EndWithBlankLine();
    EXPECT_EQ(document.ToText(), "[S]\nk=v\nl=w\n\n");
}

TEST(CnxIniDocument, MalformedTextIsReadWithoutLosingAnything) {
    const std::string text = "[Open\nkey=value\n\0[x]\n=\n[]\nk=\0v\n\n\n\xff\xfe=1\n[Last]\nend"s;
    const CnxIniDocument document(text);

    EXPECT_EQ(document.Find("open", "key"), "value");
    EXPECT_EQ(document.Find("", "k"), "");
    EXPECT_EQ(document.Find("", "\xff\xfe"), "1");
    EXPECT_EQ(document.Find("Last", "end"), std::nullopt);
    EXPECT_EQ(document.ToText(), text + "\n");
}

TEST(CnxIniDocument, ValuesStayValidWhileTheDocumentGrows) {
    CnxIniDocument document("[A]\nfirst = one\n");
    const std::string_view first = *document.Find("a", "first");
    const auto value = [](int i) { return std::string(i % 40, 'v') + std::to_string(i); };
    // Far more text than one block of the document's storage, in new sections and keys.
    for (int i = 0; i < 300; ++i) {
        document.Set("A", "Key" + std::to_string(i), value(i));
        document.Set("Section " + std::to_string(i), "Key" + std::to_string(i), value(i));
    }
    EXPECT_EQ(first, "one");
    for (int i = 0; i < 300; ++i) {
        EXPECT_EQ(document.Find("a", "key" + std::to_string(i)), value(i));
        EXPECT_EQ(document.Find("SECTION " + std::to_string(i), "key" + std::to_string(i)),
                  value(i));
    }
    // A moved document keeps its text.
    const CnxIniDocument moved = std::move(document);
    EXPECT_EQ(moved.Find("Section 299", "Key299"), value(299));
    EXPECT_EQ(CnxIniDocument(moved.ToText()).ToText(), moved.ToText());
}

TEST(CnxIniDocument, AByteOrderMarkIsNoPartOfTheFirstSectionAndIsKept) {
    CnxIniDocument document("\xEF\xBB\xBF[MAIN]\nWP_Length=44\n");
    EXPECT_EQ(document.Find("MAIN", "WP_Length"), "44");
    EXPECT_EQ(document.SectionNames(), std::vector<std::string>{"MAIN"});
    document.Set("MAIN", "RcvSelected", "0");
    EXPECT_EQ(document.ToText(), "\xEF\xBB\xBF[MAIN]\nWP_Length=44\nRcvSelected=0\n");
}

TEST(CnxIniDocument, ARewriteEndsEveryLineTheWayTheFileDoes) {
    const std::string windows =
        "; from Notepad\r\n[MAIN]\r\nWP_Length=0\r\n\r\n[RECEIVER 0]\r\nVolume=16";
    CnxIniDocument document(windows);
    EXPECT_EQ(document.Find("main", "wp_length"), "0");
    EXPECT_EQ(document.ToText(), windows + "\r\n");
    document.Set("MAIN", "RcvSelected", "0");
    document.Set("RECEIVER 0", "Volume", "20");
    document.Set("RECEIVER 1", "Volume", "16");
    document.EndWithBlankLine();
    EXPECT_EQ(document.ToText(),
              "; from Notepad\r\n[MAIN]\r\nWP_Length=0\r\nRcvSelected=0\r\n\r\n"
              "[RECEIVER 0]\r\nVolume=20\r\n[RECEIVER 1]\r\nVolume=16\r\n\r\n");

    // A file whose first line ends in a bare line feed keeps its lines as they are.
    CnxIniDocument unix("[A]\nodd=1\r\n");
    unix.Set("A", "b", "2");
    EXPECT_EQ(unix.ToText(), "[A]\nodd=1\r\nb=2\n");

    // A last line without its line feed: its carriage return is a line end, so that the rewrite
    // reads back as the same lines (a lone first line decides the style as well).
    for (const char* unterminated : {"[A]\r\nk=v\r", " \r"}) {
        CnxIniDocument once(unterminated);
        once.Set("B", "x", "1");
        const std::string written = once.ToText();
        CnxIniDocument twice(written);
        twice.Set("B", "x", "1");
        EXPECT_EQ(twice.ToText(), written) << unterminated;
        EXPECT_EQ(written.find("\r\r"), std::string::npos) << unterminated;
    }
}
