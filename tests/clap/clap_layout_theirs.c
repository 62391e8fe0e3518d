/* The published CLAP headers' layout facts (compiled as C: their declarations and ours
   never meet in one program's type system). */
#include "clap/entry.h"
#include "clap/plugin-factory.h"
#include "clap/ext/audio-ports.h"
#include "clap/ext/gui.h"
#include "clap/ext/latency.h"
#include "clap/ext/params.h"
#include "clap/ext/state.h"
#include "clap/ext/thread-check.h"
#include "clap/ext/timer-support.h"

#include "clap/ClapLayoutFacts.h"

const struct ClapLayoutFact krvClapFactsTheirs[] = {KRV_CLAP_LAYOUT_FACTS};
const char* const krvClapNamesTheirs[] = {KRV_CLAP_LAYOUT_NAMES(KRV_NAME_ENTRY)};
