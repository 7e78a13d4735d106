// Shared by the frontend tests: a window made of plain records. Its "widgets" are the form
// record itself; it answers the questions and dialogs from queues and records everything the
// frontend shows.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "app/frontend/frontend.h"

namespace vmk::fronttest {

// The next answer of a queue, or `none` when it is empty.
template <class T>
T Take(std::deque<T>& queue, T none) {
  if (queue.empty()) return none;
  T first = std::move(queue.front());
  queue.pop_front();
  return first;
}

struct FakeWindow {
  Frontend Fe;

  // Answers, in order; an empty queue answers Cancel, a cancelled dialog, -1.
  std::deque<SaveAnswer> SaveAnswers;
  std::deque<std::string> Files;
  std::deque<int> Directions;
  std::string Clipboard;
  GridSelection Selection;

  // What the frontend showed.
  std::vector<SaveQuestion> Questions;
  std::vector<FileDialog> Dialogs;
  std::vector<DirectionQuestion> DirectionQuestions;
  std::vector<MessageText> Messages;
  std::vector<RejectedInputView> Rejected;
  std::vector<WindowMarks> Marks;
  std::vector<std::string> SitesOpened;
  int SiteEditorsOpened = 0;
  std::string Title;
  std::vector<RecentMenuEntry> RecentMenu;
  GridRange Selected;
  int Writes = 0;
  int EditsEnded = 0;
  int Closes = 0;
  int ProfilesShown = 0;

  FakeWindow() {
    WindowHooks& h = Fe.Hooks;
    h.AskSave = [this](const SaveQuestion& q) {
      Questions.push_back(q);
      return Take(SaveAnswers, SaveAnswer::Cancel);
    };
    h.ChooseFile = [this](const FileDialog& d) {
      Dialogs.push_back(d);
      return FileChoice{Take(Files, std::string()), 0};
    };
    h.ChooseDirection = [this](const DirectionQuestion& q) {
      DirectionQuestions.push_back(q);
      return Take(Directions, -1);
    };
    h.ShowMessage = [this](const MessageText& m) { Messages.push_back(m); };
    h.ReadWidgets = [] {};
    h.WriteWidgets = [this] { ++Writes; };
    h.EndEditing = [this] { ++EditsEnded; };
    h.SetTitle = [this](const std::string& t) { Title = t; };
    h.SetRecentMenu = [this](const std::vector<RecentMenuEntry>& m) { RecentMenu = m; };
    h.Close = [this] {
      if (MayClose(Fe)) ++Closes;
    };
    h.ShowProfile = [this](const ProfileView&) { ++ProfilesShown; };
    h.ShowRejectedInput = [this](const RejectedInputView& v) { Rejected.push_back(v); };
    h.ShowMarks = [this](const WindowMarks& m) { Marks.push_back(m); };
    h.ReadClipboard = [this] { return Clipboard; };
    h.WriteClipboard = [this](const std::string& t) { Clipboard = t; };
    h.ReadGridSelection = [this] { return Selection; };
    h.SelectCells = [this](const GridRange& r) { Selected = r; };
    h.OpenSite = [this](const std::string& path) { SitesOpened.push_back(path); };
    h.EditSite = [this] { ++SiteEditorsOpened; };
    ShowAll(Fe);
  }
  FakeWindow(const FakeWindow&) = delete;
  FakeWindow& operator=(const FakeWindow&) = delete;

  FormRecord& Form() { return Fe.Form; }
  bool Edited() const { return Fe.Document.Edited; }
  // Types into a field as the user would: the text, then the event.
  void Type(const char* field, const char* text) {
    Fe.Form.Text(field) = Sj(text);
    FieldTyped(Fe, field);
  }
  std::string Status() const { return Cp932ToUtf8(Fe.Form.Text("messageLabel")); }

};

inline constexpr char kStartStatus[] = " VMK  Ver.1  操作法・計算手法は説明ﾌｧｲﾙをお読みください。";
inline constexpr char kStatusOk[] = " 入力・条件 : O.K.";

}  // namespace vmk::fronttest
