/* VARNHT32: the Kelmnet fieldbus library's C interface.
 *
 * Every export passes its arguments by pointer (except where noted), writes a
 * signed 32-bit status into its last argument (1 is success, negative values are
 * errors) and returns the result of releasing the library's lock, or -2 when the
 * calling thread has no client record. Call InitVarnholtnet once on a thread
 * before anything else, and CloseVarnholtnet when the thread is done.
 *
 * Handles are 32-bit values that name records of the library; they are checked
 * by the kind of record they name (-2 for a null handle, -3 for another kind).
 */
#ifndef VARNHT32_H
#define VARNHT32_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#define VNH_CALL __stdcall
#else
#define VNH_CALL
#endif

#ifndef VNH_API
#if defined(__GNUC__)
#define VNH_API __attribute__((visibility("default")))
#else
#define VNH_API
#endif
#endif

typedef uint32_t VNHHandle;

enum VNHStatusCode {
  VNH_SUCCESS = 1,
  VNH_NOT_SERVER_CLIENT = 2,       /* VNHInitCommunication: communicating, not the server */
  VNH_DIALOG_ALREADY_OPEN = -1,
  VNH_NO_CLIENT_OR_NULL = -2,      /* no client record on this thread, or a null handle */
  VNH_WRONG_HANDLE = -3,           /* the handle names a record of another kind */
  VNH_NO_MEMORY = -4,
  VNH_WRONG_VALUE_TYPE = -5,
  VNH_LENGTH_MISMATCH = -6,
  VNH_NODE_STATUS_RUNNING = -16,
  VNH_NOT_ALLOWED = -18,
  VNH_NO_SUCH_VARIABLE = -28,
  VNH_ILLEGAL_NAME = -30,
  VNH_BAD_SLOT = -37,
  VNH_OUT_OF_RANGE = -38,
  VNH_FILE_NOT_WRITTEN = -44,
  VNH_NO_STRING_BUFFER = -70,
  VNH_PENDING = -400,
  VNH_CONNECTION_LOST = -421,
  VNH_ILLEGAL_IDENTIFIER = -428,
  VNH_NO_CALLBACK = -461,
  VNH_NOT_SUPPORTED_BY_NODE = -462,
  VNH_NOT_ALLOWED_ON_NODE = -470,
  VNH_CONNECTION_REFUSED = -480,
  VNH_NODE_OUT_OF_RANGE = -483,
  VNH_NO_RESOURCE_CALLBACKS = -485,
  VNH_TIMEOUT = -490
};

/* A counted string of up to 32 characters (no terminator needed). Channel names,
 * node addresses, variable, report, stream and identity names, and the texts
 * that the library hands back. */
typedef struct VNHIdentifier {
  uint32_t length;
  char text[32];
} VNHIdentifier;

typedef struct VNHTimeStamp {
  uint32_t days;
  uint32_t milliseconds;
} VNHTimeStamp;

/* A string value of a system variable: the caller's counted buffer. */
typedef struct VNHSettingText {
  uint32_t length;
  char text[140];
} VNHSettingText;

/* A client's trace output function (see "OCPutsCallBack" below). */
typedef void(VNH_CALL* VNHTraceCallBack)(const char* text);

/* Value record of the system-variable calls.
 *
 * Assigning the name "OCPutsCallBack" with type 2 sets the calling thread's
 * trace output function (null: standard output) instead of a variable. A
 * function address is wider than the 32-bit integer on 64-bit systems, so
 * the library takes it from `callback`, which covers the whole value; on a
 * 32-bit system that is the integer itself. An address that lies in no loaded
 * module is refused with -38. */
typedef struct VNHValue {
  uint32_t type; /* 0 unknown, 1 boolean, 2 integer, 3 real, 4 string */
  union {
    uint8_t boolean;
    int32_t integer;
    float real;
    VNHSettingText* string;
    VNHTraceCallBack callback;
  } value;
} VNHValue;

/* Items of a variable-value container. The library hands them out
 * (VNHAllocateStringInVV and its two siblings, or when it decodes a value) and
 * takes every one back after each message, report or callback that used it. */
typedef struct VNHStringItem {
  uint32_t length;
  char text[256];
} VNHStringItem;

typedef struct VNHBitStringItem {
  uint32_t first; /* number of the first bit */
  uint32_t count; /* number of bits */
  uint8_t bits[256];
} VNHBitStringItem;

typedef union VNHArrayElement {
  uint32_t boolean;
  int32_t integer;
  float real;
} VNHArrayElement;

typedef struct VNHArrayItem {
  uint32_t type; /* element value type: 1 boolean, 2 integer, 3 real */
  uint32_t start;
  uint32_t count;
  VNHArrayElement element[255];
} VNHArrayItem;

/* Value types of a container pair. */
enum VNHValueType {
  VNH_VALUE_BOOLEAN = 1,
  VNH_VALUE_INTEGER = 2,
  VNH_VALUE_REAL = 3,
  VNH_VALUE_STRING = 4,
  VNH_VALUE_BIT_STRING = 5,
  VNH_VALUE_ARRAY = 6
};

/* Variable-value container: pair 0 holds a state word (0 when usable) in
 * `type` and the value count in `value.word`; pairs 1 to 10 a value type and a
 * value. On a 32-bit system every pair is two 32-bit words; on a 64-bit system
 * the value is as wide as the item pointer it may hold. */
typedef struct VNHValuePair {
  uint32_t type;
  union {
    uint32_t word;
    uint8_t boolean;
    int32_t integer;
    float real;
    VNHStringItem* string;
    VNHBitStringItem* bits;
    VNHArrayItem* array;
  } value;
} VNHValuePair;

typedef struct VNHVariableValue {
  VNHValuePair pair[11];
} VNHVariableValue;

/* Transparent Tovra message as the caller sends it: length, then the bytes. */
typedef struct VNHTovraMessage {
  uint32_t length;
  uint8_t message[32];
} VNHTovraMessage;

/* Message bytes that the library hands over or takes back. */
typedef struct VNHTovraData {
  uint32_t length;
  uint8_t* message;
} VNHTovraData;

/* Reply handle of an incoming Tovra message: 8, "AAAA", the origin node. */
typedef struct VNHReplyHandle {
  uint32_t length;
  char tag[4];
  VNHHandle origin;
} VNHReplyHandle;

/* What the completion callback gets for a finished action: its final status
 * first (a caller may read the argument as a pointer to the status alone),
 * then the action's handle, which is no longer valid once the callback returns. */
typedef struct VNHActionResult {
  int32_t status;
  VNHHandle action;
} VNHActionResult;

/* Callbacks run on the client's own thread, inside VNHPollCommunication. */
typedef void(VNH_CALL* VNHAsyncActionCallBack)(uint32_t* user_value,
                                               const VNHActionResult* action);
typedef void(VNH_CALL* VNHVariableCallBack)(const VNHIdentifier* name, VNHVariableValue* value,
                                            int32_t* status);
typedef void(VNH_CALL* VNHTovraMessageCallBack)(VNHTovraMessage* message, VNHTovraData* transmit,
                                                int32_t* status);
typedef void(VNH_CALL* VNHTovraReplyCallBack)(void* reply, VNHTovraData* received,
                                              int32_t* status);
typedef void(VNH_CALL* VNHStreamOpenCallBack)(const VNHIdentifier* name, VNHHandle* stream,
                                              uint32_t* user_value, int32_t* status);
typedef void(VNH_CALL* VNHStreamDataCallBack)(uint32_t* user_value, uint32_t* length,
                                              uint8_t* data, int32_t* status);
typedef void(VNH_CALL* VNHStreamClosedCallBack)(uint32_t* user_value, int32_t* status);
typedef void(VNH_CALL* VNHNodeStatusCallBack)(const VNHIdentifier* channel,
                                              const VNHIdentifier* node, const uint32_t* up);
typedef void(VNH_CALL* VNHIdentifyCallBack)(const VNHIdentifier* channel,
                                            const VNHIdentifier* node,
                                            const VNHIdentifier* identity, const uint32_t* option,
                                            const uint32_t* restart, const uint32_t* software);

/* Frame and communication */
VNH_API int32_t VNH_CALL DllMain(void* module, uint32_t reason, void* reserved);
VNH_API int32_t VNH_CALL InitVarnholtnet(void);
VNH_API int32_t VNH_CALL CloseVarnholtnet(void);
VNH_API int32_t VNH_CALL VNHInitCommunication(int32_t* status);
VNH_API int32_t VNH_CALL VNHPollCommunication(void);
VNH_API int32_t VNH_CALL VNHCloseCommunication(void);
VNH_API int32_t VNH_CALL VNHDisableServerEntity(void);

/* Callback setters: a null argument leaves its slot unchanged. */
VNH_API int32_t VNH_CALL VNHSetAsyncActionCallBack(VNHAsyncActionCallBack completion,
                                                    int32_t* status);
VNH_API int32_t VNH_CALL VNHSetVariableCallBacks(VNHVariableCallBack read,
                                                  VNHVariableCallBack write, int32_t* status);
VNH_API int32_t VNH_CALL VNHSetNodeStatusCallBack(VNHNodeStatusCallBack callback,
                                                   const uint32_t* flag, int32_t* status);
VNH_API int32_t VNH_CALL VNHSetStreamCallBacks(VNHStreamOpenCallBack open_request,
                                                VNHStreamDataCallBack data_received,
                                                VNHStreamDataCallBack data_to_send,
                                                VNHStreamClosedCallBack closed, int32_t* status);
VNH_API int32_t VNH_CALL VNHSetTovraCallBacks(VNHTovraMessageCallBack message,
                                               VNHTovraReplyCallBack reply, int32_t* status);
VNH_API int32_t VNH_CALL VNHSetIdentifyCallBack(VNHIdentifyCallBack callback, int32_t* status);
VNH_API int32_t VNH_CALL VNHSetResourceCallBack(int32_t* status);
VNH_API int32_t VNH_CALL VNHResourceControlRequest(void);

/* Connections and actions */
VNH_API int32_t VNH_CALL VNHDefineConnection(const VNHIdentifier* channel,
                                              const VNHIdentifier* node, VNHHandle* connection,
                                              int32_t* status);
VNH_API int32_t VNH_CALL VNHConnectionStatus(const VNHHandle* connection);
VNH_API int32_t VNH_CALL VNHReleaseConnection(VNHHandle* connection, int32_t* status);
VNH_API int32_t VNH_CALL VNHReadNamedVariable(const VNHHandle* connection,
                                               const VNHIdentifier* remote,
                                               const VNHIdentifier* local, const uint32_t* unused,
                                               VNHHandle* action, int32_t* status);
VNH_API int32_t VNH_CALL VNHWriteNamedVariable(const VNHHandle* connection,
                                                const VNHIdentifier* remote,
                                                const VNHIdentifier* local, const uint32_t* unused,
                                                VNHHandle* action, int32_t* status);
VNH_API int32_t VNH_CALL VNHAsynchronousStatus(VNHHandle* connection, VNHHandle* action);
VNH_API int32_t VNH_CALL VNHSetRemoteTime(const VNHHandle* connection, VNHHandle* action,
                                           int32_t* status);
VNH_API int32_t VNH_CALL VNHSubscribeVarReport(const VNHHandle* connection,
                                                const VNHIdentifier* remote_report,
                                                const VNHIdentifier* local, const uint32_t* on,
                                                VNHHandle* action, int32_t* status);
VNH_API int32_t VNH_CALL VNHNodeStatusRequest(const VNHIdentifier* channel,
                                               const VNHIdentifier* node, VNHHandle* action,
                                               int32_t* status);
VNH_API int32_t VNH_CALL VNHSendTovraTransparentMessage(const VNHHandle* connection,
                                                         const VNHTovraMessage* message,
                                                         VNHHandle* action, int32_t* status);
VNH_API int32_t VNH_CALL VNHIdentifyRemsys(const VNHIdentifier* channel, const VNHIdentifier* node,
                                            VNHHandle* action, int32_t* status);

/* Identity, server entity and reports */
VNH_API int32_t VNH_CALL VNHModuleRestart(const VNHIdentifier* name, const uint32_t* option,
                                           int32_t* status);
VNH_API int32_t VNH_CALL VNHDefineVarGlobalReport(const VNHIdentifier* name, int32_t* status);
VNH_API int32_t VNH_CALL VNHSendVarReport(const VNHIdentifier* name, int32_t* status);
VNH_API int32_t VNH_CALL VNHSendTovraTransparentReply(const VNHReplyHandle* reply,
                                                       const VNHTovraData* message,
                                                       int32_t* status);
VNH_API int32_t VNH_CALL VNHConfigIdentity(const VNHIdentifier* name, const uint32_t* option,
                                            int32_t* status);
VNH_API int32_t VNH_CALL VNHGetKelmnetInfo(const VNHIdentifier* channel, uint32_t* card_memory,
                                            VNHIdentifier* own_address, VNHIdentifier* version);
VNH_API int32_t VNH_CALL VNHLegalIdentifier(const VNHIdentifier* identifier, uint32_t* kind);
VNH_API int32_t VNH_CALL VNHEnumChannel(VNHHandle* cursor, VNHIdentifier* channel);
VNH_API int32_t VNH_CALL VNHGetCurrentOrigin(VNHIdentifier* channel, VNHIdentifier* address);
VNH_API int32_t VNH_CALL VNHVersion(void);

/* Variable-value containers and system variables */
VNH_API int32_t VNH_CALL VNHAssignSystemVariable(const VNHIdentifier* name, const VNHValue* value,
                                                  int32_t* status);
VNH_API int32_t VNH_CALL VNHGetSystemVariable(const VNHIdentifier* name, VNHValue* value,
                                               int32_t* status);
VNH_API int32_t VNH_CALL VNHAllocateStringInVV(VNHVariableValue* container, const uint32_t* slot,
                                                int32_t* status);
VNH_API int32_t VNH_CALL VNHAllocateBitStringInVV(VNHVariableValue* container,
                                                   const uint32_t* slot, int32_t* status);
VNH_API int32_t VNH_CALL VNHAllocateArrayInVV(VNHVariableValue* container, const uint32_t* slot,
                                               int32_t* status);

/* Streams */
VNH_API int32_t VNH_CALL VNHStreamRequest(const VNHHandle* connection, const uint32_t* user_value,
                                           const VNHIdentifier* name, VNHHandle* stream,
                                           VNHHandle* action, int32_t* status);
VNH_API int32_t VNH_CALL VNHStreamSendData(const VNHHandle* stream, VNHHandle* action,
                                            int32_t* status);
VNH_API int32_t VNH_CALL VNHStreamRestart(const VNHHandle* stream, VNHHandle* action,
                                           int32_t* status);
VNH_API int32_t VNH_CALL VNHStreamClose(const VNHHandle* stream, VNHHandle* action,
                                         int32_t* status);

/* Settings dialog and time */
/* Shows the settings dialog over the owner window (null: none) and saves what
 * the user changed. Returns 1; 2 when a change was refused or could not be
 * saved; -1 while the dialog is open (in any process); -2 without client
 * record; -4 when the dialog cannot be made. */
VNH_API int32_t VNH_CALL VNHShowCommInfoDialog(void* owner_window);
VNH_API void VNH_CALL GetDuration(VNHTimeStamp* stamp);
VNH_API int32_t VNH_CALL DifferenceMilliSeconds(uint32_t days1, uint32_t ms1, uint32_t days2,
                                                 uint32_t ms2);
VNH_API int32_t VNH_CALL ElapsedMilliSeconds(uint32_t days, uint32_t ms);

#ifdef __cplusplus
}
#endif

#endif /* VARNHT32_H */
