// Closing-note texts.
#include "ui/ClosingNote.h"

namespace zarvo::ui {
namespace {

using install::TFailureReason;
using TKind = install::TInstallFailure::TKind;

std::wstring Note(bool russian) {
  const std::wstring email = ZARVO_SUPPORT_EMAIL;
  if (russian)
    return L"Переодически проверяйте обновления, это обеспечит Вас самой последней версией программы!\r\n\r\n"
           L"Для обновления, получения помощи по работе, приобретения программы, а так же с предложениями и "
           L"пожеланиями, обращайтесь на сайт программы и e-mail - " +
           email;
  return L"Periodically check for updates, it will provide you with the latest version of the program!\r\n\r\n"
         L"To update, get help with work, purchase the program, as well as with suggestions and wishes, please "
         L"visit the program website and e-mail - " +
         email;
}

std::wstring Heading(bool russian, TKind kind) {
  switch (kind) {
    case TKind::File:
      return russian ? L"Не установлены файлы:" : L"Files not installed:";
    case TKind::Deletion:
      return russian ? L"Не выполнено удаление:" : L"Deletions refused:";
    case TKind::Link:
      return russian ? L"Не созданы ярлыки:" : L"Links not made:";
  }
  return {};
}

}  // namespace

std::wstring ReasonText(bool russian, TFailureReason reason) {
  switch (reason) {
    case TFailureReason::MissingEntry:
      return russian ? L"нет в программе установки" : L"missing from the setup";
    case TFailureReason::DamagedEntry:
      return russian ? L"повреждён в программе установки" : L"damaged in the setup";
    case TFailureReason::OutsideFolder:
      return russian ? L"вне папки установки" : L"outside the install folder";
    case TFailureReason::InUse:
      return russian ? L"занят другой программой" : L"in use by another program";
    case TFailureReason::AccessDenied:
      return russian ? L"нет доступа" : L"access denied";
    case TFailureReason::DiskFull:
      return russian ? L"диск заполнен" : L"disk full";
    case TFailureReason::CannotWrite:
      return russian ? L"не удалось записать" : L"cannot be written";
    case TFailureReason::NoShellFolder:
      return russian ? L"папка пользователя не найдена" : L"the user's folder is unknown";
    case TFailureReason::NoProgram:
      return russian ? L"программа не установлена" : L"the program is not installed";
    case TFailureReason::LinkNotSaved:
      return russian ? L"не удалось сохранить" : L"cannot be saved";
  }
  return {};
}

std::wstring ClosingNote(bool russian, const install::TInstallFailures& failures) {
  std::wstring text = Note(russian);
  for (TKind kind : {TKind::File, TKind::Deletion, TKind::Link}) {
    bool first = true;
    for (const install::TInstallFailure& failure : failures) {
      if (failure.Kind != kind) continue;
      if (first) text += L"\r\n\r\n" + Heading(russian, kind);
      first = false;
      text += L"\r\n" + failure.Name + L" - " + ReasonText(russian, failure.Reason);
    }
  }
  return text;
}

}  // namespace zarvo::ui
