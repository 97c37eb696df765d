// A message service for the GUI tests: collects every message and answers questions from a queue.
#pragma once

#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

#include "TsMessages.h"

class TTestMessages : public TMessageService {
 public:
  TTestMessages() { SetMessageService(this); }
  ~TTestMessages() override { SetMessageService(nullptr); }

  void Error(const QString& text) override { Log("error", text); }
  void Info(const QString& text) override {
    Log("info", text);
    if (onInfo) onInfo(text);
  }
  TAnswer Confirm(const QString& text, bool, TAnswer initial) override {
    Log("confirm", text);
    initials.push_back(initial);
    if (answers.empty()) return TAnswer::Cancel;
    const TAnswer a = answers.front();
    answers.pop_front();
    return a;
  }
  bool AbortRetry(const QString& text) override {
    Log("abortretry", text);
    if (retryAnswers.empty()) return false;
    const bool retry = retryAnswers.front();
    retryAnswers.pop_front();
    return retry;
  }

  // The texts shown, in order; each kind's texts separately.
  QStringList all;
  QStringList errors;
  QStringList infos;
  QStringList questions;
  std::deque<TAnswer> answers;
  std::deque<bool> retryAnswers;  // Abort and Retry boxes: true for Retry
  std::vector<TAnswer> initials;  // what Enter would have answered, question by question
  std::function<void(const QString&)> onInfo;  // runs while an information box is up

  void Clear() {
    all.clear();
    errors.clear();
    infos.clear();
    questions.clear();
    initials.clear();
  }

 private:
  void Log(const char* kind, const QString& text) {
    all << QString(kind) + ": " + text;
    if (QString(kind) == "error" || QString(kind) == "abortretry") errors << text;
    else if (QString(kind) == "info") infos << text;
    else questions << text;
  }
};
