// A small pretty-printing JSON writer for the command line's output and template.
//
// It exists because the results must carry their single-precision values as the shortest
// decimal text that reads back as the same float ("574092", "3.4055"); a general JSON
// library would print the value widened to double with all its digits.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vmk {

class JsonWriter {
 public:
  void BeginObject();
  void EndObject();
  void BeginArray();
  // An array whose values stand on one line, "[1, 2, 3]" (numbers, short strings).
  void BeginInlineArray();
  void EndArray();

  // The name of the next member of the open object (UTF-8).
  void Key(std::string_view utf8);

  // A string value (UTF-8; a byte sequence that is not UTF-8 is written as U+FFFD).
  void String(std::string_view utf8);
  void Bool(bool value);
  void Int(long long value);
  // The shortest decimal text that reads back as the same float; null for NaN and infinity,
  // which JSON cannot hold as numbers.
  void Float(float value);
  // The shortest decimal text that reads back as the same double; null when not finite.
  void Double(double value);
  // A number given as its decimal text in JSON's form ("-0.0006500753", "12"), written as it is:
  // an exact decimal of any length. Null for an empty text.
  void Number(std::string_view decimal);

  // The text written since the last Drain, so that long output can go out as it is made.
  std::string Drain();

  // The text written since the last Drain, with a final line end.
  std::string Finish();

 private:
  void BeforeValue();
  void Close(char bracket);
  void Indent();

  struct Level {
    bool Empty = true;
    bool Inline = false;
  };
  std::string out_;
  std::vector<Level> levels_;
  bool afterKey_ = false;
};

// The shortest round-trip text of a float ("574092", "3.4055", "3.4055e-05"), or "null".
std::string FloatJsonText(float value);

// A JSON string literal of the text, quotes included.
std::string JsonQuote(std::string_view utf8);

}  // namespace vmk
