// The whole of svcremove: check the argument, then open the service manager and the named
// service, ask the service to stop, delete it and close both handles.
#ifndef SVCREMOVE_REMOVE_SERVICE_H
#define SVCREMOVE_REMOVE_SERVICE_H

#include "error_output.h"
#include "scm_api.h"

namespace svcremove {

// The exit status of every failed run.
constexpr int kFailureStatus = -1;

// Runs the removal for a command line split into `argumentCount` arguments, the program's own
// name first; exactly one further argument, the service name, is accepted, and it is passed to
// the manager untouched.
//
// Returns kFailureStatus after writing one message line to `errors` when the command line is
// wrong, the manager or the service cannot be opened with full access, or the deletion is
// refused. A refused stop request is no failure: the deletion is still made, only the one-second
// pause that follows an accepted stop is left out. Once the service is deleted, returns the
// result of closing the manager handle: 1 when it closes, 0 when it does not. Every handle
// opened is closed exactly once, the service handle before the manager handle.
int remove_service(int argumentCount, const char *const *arguments, ScmApi &scm,
                   ErrorOutput &errors);

} // namespace svcremove

#endif
