// A mailbox between a test and the test pages it drives: the test posts
// script for a page to run, the page (pages/test/driver.js) fetches it, runs
// it and posts the outcome back, which the test then reads.

#ifndef KORVEL_DEVBACKEND_PAGE_DRIVER_H_
#define KORVEL_DEVBACKEND_PAGE_DRIVER_H_

#include "devbackend/recording_server.h"

// Test side, below "/__control/page/":
//   POST command {"code": "...", "target": "main"}  -> {"seq": n}
//   GET  result?seq=n  -> {"seq", "value" | "error"}, or 404 while pending
// Page side, below "/__page/":
//   GET  command?target=main  -> the oldest command for that target not yet
//                                handed out, or {} when there is none
//   POST result {"seq", "value" | "error"}
void InstallPageDriverRoutes(RecordingServer& server);

#endif  // KORVEL_DEVBACKEND_PAGE_DRIVER_H_
