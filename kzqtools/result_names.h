// The names of the result codes, for messages of hosts and tests.
#ifndef KZQ_RESULT_NAMES_H
#define KZQ_RESULT_NAMES_H

#include "kzqtools.h"

namespace kzq {

// "KZQ_SUCCESS", "KZQ_ERR_FILE_OPEN", ...; "unknown result code" for any other value.
const char *result_name(kzq_result_t code);

} // namespace kzq

#endif
