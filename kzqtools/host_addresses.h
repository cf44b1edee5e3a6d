// The host address list: the local host's IPv4 addresses as zero-terminated dotted-decimal
// texts, back to back, ended by one further zero byte.
#ifndef KZQ_HOST_ADDRESSES_H
#define KZQ_HOST_ADDRESSES_H

#include "kzqtools.h"
#include "platform/sockets_api.h"

namespace kzq {

// Starts the sockets layer, looks up the local host's own name and writes the list of its
// addresses into ipList, in the order of the host entry; an address without text is skipped.
// A null ipList runs every step and writes nothing. Each failure is found before the first
// byte is written, so a failure leaves ipList untouched. Every call that got past a successful
// start-up cleans up exactly once.
kzq_result_t build_host_list(SocketsApi &sockets, char *ipList);

} // namespace kzq

#endif
