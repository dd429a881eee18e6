#include "run/kept_output.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Text(const OutputStore& store, int index) {
  ByteBuffer out;
  EXPECT_EQ(1, ComposeOutputText(store, index, &out));
  std::string text(out.data == nullptr ? "" : std::string(out.data, out.size));
  FreeByteBuffer(&out);
  return text;
}

// The bytes written in pieces, with 8 bytes kept: the text shown, and the
// window kept up to date after each piece (A: whole text anew, M: more
// added) shows the same.
TEST(KeptOutput, ShowsTheLastBytesWithCrLfLineEndsAndZeroAsBlank) {
  const struct {
    std::vector<std::string> pieces;
    const char* shown;
    const char* changes;
  } cases[] = {
      {{"ab\ncd"}, "ab\r\ncd", "A"},
      {{"a\n", "b\rc", "\r\r\n"}, "a\r\nb\r\nc\r\n", "AMM"},
      {{"a\r", "\nb"}, "a\r\nb", "AM"},
      {{std::string("a\0b", 3), "\n\n"}, "a b\r\n\r\n", "AM"},
      {{"0123456789"}, "(この前の 2 バイトは省きました)\r\n23456789", "A"},
      {{"01234", "56789", "ab"}, "(この前の 4 バイトは省きました)\r\n456789ab", "AAA"},
      {{"0123\n567", "", "\nx"}, "(この前の 2 バイトは省きました)\r\n23\r\n567\r\nx", "A-A"},
      {{"abcdefgh", "0123456789abcdefghij"}, "(この前の 20 バイトは省きました)\r\ncdefghij", "AA"},
      // Never half a character: a lead byte written last waits for its
      // second byte; once bytes were left out, the text starts at the first
      // byte below 0x40, as the oldest kept byte may be a second byte.
      {{"ab\x82"}, "ab", "A"},
      {{"a", "b\x82", "\xa0"}, "ab\x82\xa0", "AMM"},
      {{"a", "b\x82", "", "\xa0" "c"}, "ab\x82\xa0" "c", "AM-M"},
      {{"0\x82\xa0\x82\xa0\n\x82\xa0yz"}, "(この前の 5 バイトは省きました)\r\n\r\n\x82\xa0yz", "A"},
  };
  for (const auto& c : cases) {
    OutputStore store;
    BeginOutputs(&store, 8, 64, nullptr);
    ASSERT_EQ(0, AddOutput(&store, 1));
    OutputView view;
    std::string window, changes;
    for (const std::string& piece : c.pieces) {
      TakeOutput(&store, 0, piece.data(), piece.size());
      ByteBuffer out;
      const int change = UpdateOutputView(store, 0, &view, &out);
      const std::string text = out.data == nullptr ? "" : std::string(out.data, out.size);
      FreeByteBuffer(&out);
      changes += "-MA"[change];
      window = change == kViewAnew ? text : window + text;
    }
    EXPECT_EQ(c.shown, Text(store, 0)) << c.shown;
    EXPECT_EQ(c.shown, window) << c.shown;
    EXPECT_EQ(c.changes, changes) << c.shown;
    FreeOutputs(&store);
  }
}

// Pieces of every size, with 1,000 bytes kept: always the last 1,000 bytes
// written, after a line naming those left out.
TEST(KeptOutput, KeepsTheLastBytesWhateverThePieces) {
  OutputStore store;
  BeginOutputs(&store, 1000, 1 << 20, nullptr);
  AddOutput(&store, 1);
  std::string written;
  for (std::size_t size : {1, 100, 700, 3, 255, 2000, 64, 999, 1001, 5}) {
    const std::string piece(size, static_cast<char>('a' + written.size() % 26));
    TakeOutput(&store, 0, piece.data(), piece.size());
    written += piece;
    const std::size_t kept = written.size() < 1000 ? written.size() : 1000;
    const std::string leftOut =
        "(この前の " + std::to_string(written.size() - kept) + " バイトは省きました)\r\n";
    EXPECT_EQ((kept < written.size() ? leftOut : "") + written.substr(written.size() - kept),
              Text(store, 0))
        << written.size();
  }
  FreeOutputs(&store);
}

// Room for four outputs of 256 bytes. Steps: a digit writes 256 bytes to
// that output, "z" and "o" end the output last written with 0 or otherwise,
// "c" adds an output whose bytes are not taken in, "n" notes that a stop
// ended only its own process.
TEST(KeptOutput, DropsWholeOutputsEndedWithZeroFirstThenTheOthersOldestFirst) {
  const struct {
    const char* steps;
    const char* kept;  // per output: k kept, d dropped, c not taken in
  } cases[] = {
      {"0o1z2 3z", "kkkk"},
      {"0o1z2 3z4", "kdkkk"},
      {"0o1z2 3z45", "kdkdkk"},
      {"0o1z2 3z456", "ddkdkkk"},
      {"0o1z2 3z4567", "ddddkkkk"},  // only running ones left: the oldest goes
      {"0c2", "kck"},
  };
  for (const auto& c : cases) {
    OutputStore store;
    BeginOutputs(&store, 256, 1024, nullptr);
    int last = -1;
    for (const char* step = c.steps; *step; ++step) {
      if (*step >= '0' && *step <= '9') {
        while (AddOutput(&store, 1) < *step - '0') {
        }
        TakeOutput(&store, last = *step - '0', std::string(256, *step).data(), 256);
      }
      if (*step == 'c') last = AddOutput(&store, 0);
      if (*step == 'z' || *step == 'o')
        EndOutput(&store, last, *step == 'z' ? kOutputEndedZero : kOutputEndedOtherwise);
    }
    std::string kept;
    for (int i = 0; i <= last; ++i) {
      const std::string text = Text(store, i);
      kept += text == std::string(kOutputDroppedText) + "\r\n"    ? 'd'
              : text == std::string(kOutputNotTakenText) + "\r\n" ? 'c'
              : text == std::string(256, char('0' + i))           ? 'k'
                                                                  : '?';
    }
    EXPECT_EQ(c.kept, kept) << c.steps;
    EXPECT_LE(store.held, 1024u) << c.steps;
    FreeOutputs(&store);
  }
}

TEST(KeptOutput, NotesAStopOrAPriorityThatReachedOnlyTheCommandsOwnProcess) {
  OutputStore store;
  BeginOutputs(&store, kKeptOutputBytes, kAllOutputBytes, nullptr);
  AddOutput(&store, 1);
  AddOutput(&store, 0);
  TakeOutput(&store, 0, "half", 4);
  AddOutput(&store, 1);
  for (int i : {0, 1}) NoteOutput(&store, i, kNoteStoppedAlone);
  // A priority the job could not carry, then a stop: both notes, stop first.
  NoteOutput(&store, 2, kNotePriorityAlone);
  NoteOutput(&store, 2, kNoteStoppedAlone);
  const std::string note = std::string(kOutputStoppedAloneText) + "\r\n";
  EXPECT_EQ("half\r\n" + note, Text(store, 0));
  EXPECT_EQ(std::string(kOutputNotTakenText) + "\r\n" + note, Text(store, 1));
  EXPECT_EQ(note + kOutputPriorityAloneText + "\r\n", Text(store, 2));
  FreeOutputs(&store);
}

}  // namespace
