#pragma once

// Whether the user has an office (LibreOffice) of their own open: a process of
// this user whose name starts with "soffice" and that this program did not
// start (not one of its descendants). Read from /proc; false where there is none.
namespace RunningOffice {

bool userOfficeRunning();

}  // namespace RunningOffice
