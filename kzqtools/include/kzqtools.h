/*
 * kzqtools: registry export reading and the host's IPv4 address list for a host program.
 *
 * A host loads kzqtools.dll (libkzqtools.so on Linux) and calls the four functions below, by
 * name. Each returns a result code; any code other than KZQ_SUCCESS has the bit 0x10000000 set,
 * so a loop that stops at the first nonzero result stops at the end of a file and at every
 * failure alike.
 *
 * Buffers and integers are the caller's. No size is passed: each function states the most it
 * writes, and the caller provides at least that much. A function writes its outputs only when it
 * returns KZQ_SUCCESS; any other result leaves every buffer and integer as it was.
 *
 * Texts are zero-terminated 8-bit strings in the system's ANSI code page (UTF-8 on Linux).
 */
#ifndef KZQTOOLS_H
#define KZQTOOLS_H

#include <stdint.h>

/*
 * KZQ_API marks the four functions for import by a host; the library's own build defines
 * KZQTOOLS_BUILDING so that the same declarations mark them for export. KZQ_CALL fixes the
 * calling convention: the C convention (cdecl) on Windows, whatever the compiler's default.
 */
#if defined(_WIN32)
#  define KZQ_CALL __cdecl
#  if defined(KZQTOOLS_BUILDING)
#    define KZQ_API
#  else
#    define KZQ_API __declspec(dllimport)
#  endif
#else
#  define KZQ_CALL
#  if defined(KZQTOOLS_BUILDING)
#    define KZQ_API __attribute__((visibility("default")))
#  else
#    define KZQ_API
#  endif
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef uint32_t kzq_result_t;

#define KZQ_SUCCESS             0x00000000u /* the call did its work and wrote its results */
#define KZQ_ERR_FILE_OPEN       0x10000002u /* the file cannot be opened for reading; no file is open now */
#define KZQ_ERR_FILE_READ       0x10000005u /* a read failed before the end of the file, or no file is open */
#define KZQ_ERR_WINSOCK_STARTUP 0x10000007u /* Windows Sockets did not start */
#define KZQ_ERR_WINSOCK_VERSION 0x10000008u /* Windows Sockets started with a version other than 1.1 */
#define KZQ_ERR_HOST_NAME       0x10000009u /* the local host's name was not obtained */
#define KZQ_ERR_HOST_LOOKUP     0x1000000Au /* the local host's name did not resolve */
#define KZQ_ERR_NO_MEMORY       0x1000000Cu /* no memory to assemble a hex value */
#define KZQ_ERR_NO_FILE_NAME    0x1000000Du /* the file name is null or empty */
#define KZQ_ERR_FILE_CLOSE      0x1000000Eu /* no file is open, or closing it failed */
#define KZQ_END_OF_FILE         0x1000000Fu /* the file holds no further entry: the normal end of a read loop */

/*
 * Opens a registry export file for reading and makes it the file that KZQGetNextRegFileLine
 * reads. fileName (in) is its path. A file opened before and not closed stays open, out of
 * reach, until the library is unloaded.
 * Returns KZQ_SUCCESS; KZQ_ERR_NO_FILE_NAME for a null or empty name (an open file stays
 * readable); KZQ_ERR_FILE_OPEN when the file cannot be opened (no file is open afterwards).
 *
 * Files that start with the bytes FF FE are read as UTF-16LE and converted to the 8-bit code
 * page; a leading UTF-8 byte order mark is skipped; any other file is read byte for byte.
 */
KZQ_API kzq_result_t KZQ_CALL KZQOpenRegFileRead(const char *fileName);

/*
 * Delivers the next key or value of the open file; lines that start with neither '[' nor '"'
 * (nor '@=', a default value) are skipped.
 *   isKey     (out) 1 for a key, 0 for a value.
 *   keyOrName (out) the key's path (a leading HKEY_LOCAL_MACHINE cut off) or the value's name;
 *                   at most 4095 bytes with the zero byte.
 *   data      (out) a string value's text; a dword value as signed decimal text (its 32-bit
 *                   pattern); a hex value's bytes followed by one zero byte; empty for a key and
 *                   for other values; at most 4097 bytes with the zero byte.
 *   type      (out) the type word (dword, hex, hex(2), ...), the whole right side of a value of
 *                   another kind, empty for keys and string values; at most 4095 bytes.
 *   byteCount (out) the number of bytes of a hex value (at most 4096), 0 for a key; not written
 *                   for any other entry.
 * Returns KZQ_SUCCESS; KZQ_END_OF_FILE at the end of the file (and on every later call);
 * KZQ_ERR_FILE_READ when a read fails or no file is open; KZQ_ERR_NO_MEMORY when a hex value
 * cannot be assembled (the next call goes on after that value's first line).
 */
KZQ_API kzq_result_t KZQ_CALL KZQGetNextRegFileLine(int32_t *isKey, char *keyOrName, char *data,
                                                    char *type, uint32_t *byteCount);

/*
 * Closes the open file.
 * Returns KZQ_SUCCESS; KZQ_ERR_FILE_CLOSE when no file is open (never opened, already closed,
 * or the last open failed) or when closing reports a failure.
 */
KZQ_API kzq_result_t KZQ_CALL KZQCloseRegFile(void);

/*
 * Writes the local host's IPv4 addresses into ipList (out) as dotted-decimal texts, each
 * followed by its zero byte, back to back, then one further zero byte that ends the list. At
 * most 16 bytes per address plus 1 are written. A null ipList is accepted: every step runs and
 * nothing is written.
 * Returns KZQ_SUCCESS (the list may be empty); KZQ_ERR_WINSOCK_STARTUP, KZQ_ERR_WINSOCK_VERSION,
 * KZQ_ERR_HOST_NAME or KZQ_ERR_HOST_LOOKUP when the matching step fails.
 */
KZQ_API kzq_result_t KZQ_CALL KZQGetHostIPList(char *ipList);

#ifdef __cplusplus
}
#endif

#endif /* KZQTOOLS_H */
