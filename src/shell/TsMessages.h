// Every message box of the desktop program goes through one message service, so that the GUI
// tests can answer the questions and collect the messages. Also the conversion between the
// core's code page 1252 text and QString.
#pragma once

#include <QString>
#include <memory>
#include <string>
#include <vector>

class QWidget;

// Code page 1252 text of the core <-> Qt text.
QString QStr(const std::string& cp1252);
std::string CpStr(const QString& text);
// File paths are bytes as the system gives them, never code page 1252 text.
QString QPath(const std::string& path);
std::string PathStr(const QString& path);
// A message of the core, which may name files beside its code page 1252 text.
QString QMsg(const std::string& message);

enum class TAnswer { Yes, No, Cancel };

class TMessageService {
 public:
  virtual ~TMessageService() = default;
  // An error box with an OK button; the text is framed by one line feed before and after.
  virtual void Error(const QString& text) = 0;
  // An information box with an OK button; the text is shown as given.
  virtual void Info(const QString& text) = 0;
  // A confirmation with Yes, No and Cancel (`withCancel` false: Yes and No only); Enter gives
  // `initial` (No for a question whose Yes destroys data).
  virtual TAnswer Confirm(const QString& text, bool withCancel = true, TAnswer initial = TAnswer::Yes) = 0;
  // An error box with Abort and Retry; true for Retry.
  virtual bool AbortRetry(const QString& text) = 0;
};

// The service in force; the real boxes until a test installs its own.
TMessageService& Messages();
// Installs a service (nullptr restores the real boxes); the caller keeps ownership.
void SetMessageService(TMessageService* service);
// The main window: the real boxes and dialogs are shown over it when no other window is active.
void SetMessageParent(QWidget* parent);
// The window that opens a box or dialog now: the modal dialog that is up, else the active window,
// else the main window. Boxes and file dialogs are its children, so they stay in front of it.
QWidget* DialogOwner();

// The error text framed by one line feed before and after, as the error boxes show it.
QString FramedError(const QString& text);
// The first `shown` of `lines` (code page 1252), each on a line of its own after a blank line, and
// how many more there are; empty when there are none.
QString FirstLinesText(const std::vector<std::string>& lines, size_t shown = 5);

// Message boxes on the screen, with the normal arrow cursor while they are up.
class TQtMessageService : public TMessageService {
 public:
  void Error(const QString& text) override;
  void Info(const QString& text) override;
  TAnswer Confirm(const QString& text, bool withCancel, TAnswer initial) override;
  bool AbortRetry(const QString& text) override;
};

// Shows the normal arrow for its lifetime while the wait cursor is up (a box or window the user
// works in during a long operation), and restores the cursor afterwards.
class TArrowCursor {
 public:
  TArrowCursor();
  ~TArrowCursor();
  TArrowCursor(const TArrowCursor&) = delete;
  TArrowCursor& operator=(const TArrowCursor&) = delete;

 private:
  bool overridden_;
};

// Shows the wait cursor for its lifetime, also when the operation fails.
class TWaitCursor {
 public:
  TWaitCursor();
  ~TWaitCursor();
  TWaitCursor(const TWaitCursor&) = delete;
  TWaitCursor& operator=(const TWaitCursor&) = delete;
};
