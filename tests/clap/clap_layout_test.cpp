// Our CLAP declarations against the published headers (the copy Debian's dpf-source
// installs): every size, offset, constant and identifier the plug-in and our hosts use.
#include <gtest/gtest.h>

#include <cstring>

#include "clap/clap_abi.h"
#include "clap/ClapLayoutFacts.h"

extern "C" {
const ClapLayoutFact krvClapFactsOurs[] = {KRV_CLAP_LAYOUT_FACTS};
const unsigned krvClapFactCount = sizeof(krvClapFactsOurs) / sizeof(krvClapFactsOurs[0]);
const char* const krvClapNamesOurs[] = {KRV_CLAP_LAYOUT_NAMES(KRV_NAME_ENTRY)};
const unsigned krvClapNameCount = sizeof(krvClapNamesOurs) / sizeof(krvClapNamesOurs[0]);
}

TEST(ClapLayoutTest, OurDeclarationsMatchThePublishedHeaders) {
    ASSERT_GT(krvClapFactCount, 70u);  // the list was not emptied by mistake
    for (unsigned i = 0; i < krvClapFactCount; ++i) {
        ASSERT_STREQ(krvClapFactsOurs[i].name, krvClapFactsTheirs[i].name);
        EXPECT_EQ(krvClapFactsOurs[i].value, krvClapFactsTheirs[i].value)
            << krvClapFactsOurs[i].name;
    }
    for (unsigned i = 0; i < krvClapNameCount; ++i)
        EXPECT_STREQ(krvClapNamesOurs[i], krvClapNamesTheirs[i]);
}
