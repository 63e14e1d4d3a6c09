#include "varnht32/src/services_setup.h"

#include "varnht32/src/actions.h"
#include "varnht32/src/associations.h"
#include "varnht32/src/server_entity.h"
#include "varnht32/src/streams.h"
#include "varnht32/src/value_items.h"
#include "varnht32/src/variables.h"

namespace vnh {

void SetUpServices() {
  SetUpStreams();
  SetUpVariables();
  SetUpServerEntity();
  SetUpValueItems();
  SetUpActions();
  SetUpAssociations();
}

}  // namespace vnh
