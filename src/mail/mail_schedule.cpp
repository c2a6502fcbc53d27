#include "mail/mail_schedule.h"

namespace tavik::mail {

void StartMailSchedule(HWND) {}

void StopMailSchedule(HWND) {}

void StartMailCheck(HWND) {}

void OpenCheckNowDialog(HWND) {}

}  // namespace tavik::mail
