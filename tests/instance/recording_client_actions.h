#ifndef KORVEL_TESTS_INSTANCE_RECORDING_CLIENT_ACTIONS_H_
#define KORVEL_TESTS_INSTANCE_RECORDING_CLIENT_ACTIONS_H_

#include <chrono>

// Test definitions of the client actions that count their calls.
namespace recording {

void Reset();
int CloseCount();
int RaiseCount();
// Waits until the count reaches `count`; false when `timeout` passes first.
bool WaitForCloseCount(int count, std::chrono::milliseconds timeout);
bool WaitForRaiseCount(int count, std::chrono::milliseconds timeout);

}  // namespace recording

#endif  // KORVEL_TESTS_INSTANCE_RECORDING_CLIENT_ACTIONS_H_
