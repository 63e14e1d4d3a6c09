/* A C program against the library's public header: it compiles as C, links
 * to the shared library and makes a few calls that need no peer. It exits
 * with 0 when every answer is the expected one. */

#define _POSIX_C_SOURCE 200112L

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <unistd.h>

#include "varnht32.h"

static int failures = 0;

static void expect(int condition, const char* what) {
  if (!condition) {
    fprintf(stderr, "failed: %s\n", what);
    ++failures;
  }
}

int main(void) {
  VNHIdentifier name;
  VNHIdentifier register_form;
  VNHValue value;
  VNHTimeStamp stamp;
  uint32_t kind = 9;
  int32_t status = 0;
  VNHHandle connection = 0;

  char segment[64];

  /* A segment of its own, so that no other user of the library is disturbed,
   * and no settings file: every setting has its default. */
  snprintf(segment, sizeof segment, "/varnht32_c_client_%ld", (long)getpid());
  setenv("VARNHT32_SEGMENT", segment, 1);
  setenv("VARNHT32_SETTINGS_DIR", "/nonexistent/varnht32-c-client", 1);

  expect(VNHVersion() == 522, "VNHVersion is 522");
  memset(&name, 0, sizeof name);
  name.length = 5;
  memcpy(name.text, "STREM", 5);
  expect(VNHLegalIdentifier(&name, &kind) == 1 && kind == 1, "a five-character name");
  memset(&register_form, 0, sizeof register_form);
  register_form.length = 4;
  memcpy(register_form.text, "%X17", 4);
  expect(VNHLegalIdentifier(&register_form, &kind) == 1 && kind == 0, "a register form");

  expect(VNHInitCommunication(&status) == -2 && status == -2, "no client record before InitVarnholtnet");
  expect(InitVarnholtnet() == 1, "InitVarnholtnet");
  memset(&name, 0, sizeof name);
  name.length = 19;
  memcpy(name.text, "KelmnetTransTimeOut", 19);
  memset(&value, 0, sizeof value);
  VNHGetSystemVariable(&name, &value, &status);
  expect(status == VNH_SUCCESS && value.type == 2 && value.value.integer == 15000,
         "KelmnetTransTimeOut is 15000");
  expect(VNHConnectionStatus(&connection) == VNH_NO_CLIENT_OR_NULL, "a null connection");
  VNHReleaseConnection(&connection, &status);
  expect(status == VNH_NO_CLIENT_OR_NULL, "releasing a null connection");
  GetDuration(&stamp);
  expect(ElapsedMilliSeconds(stamp.days, stamp.milliseconds) >= 0, "elapsed time");
  expect(DifferenceMilliSeconds(0, 0, 23, 0) == 0x7FFFFFFF, "23 days apart");
  expect(CloseVarnholtnet() == 1, "CloseVarnholtnet");
  shm_unlink(segment);

  if (failures == 0) printf("C client: all calls answered as expected\n");
  return failures == 0 ? 0 : 1;
}
