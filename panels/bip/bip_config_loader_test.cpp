#include "bip_config_loader.h"

#include <cstdint>
#include <map>
#include <memory>
#include <random>
#include <string>

#include "hostsim/hostsim.h"
#include "tests/bip_test_support.h"

namespace drovanel {
namespace {

using test::lense;
using test::writeConfig;
using test::writeFile;

constexpr const char *kBrightnessDefault = "Drovanel : attribute Brightness not found, using default=100%\n";

// What the loader handed over, entry by entry.
struct Loaded {
    std::vector<int> lenses;  // in order of storing
    std::map<int, std::unique_ptr<BipAssignement>> bound;
    int unknown = 0;  // entries stored as none
};

class ConfigLoaderTest : public test::BipFixture {
protected:
    Loaded load(const std::string &path) {
        Loaded loaded;
        loadBipConfiguration(path.c_str(), [&loaded](int lens, BipAssignement *binding) {
            loaded.lenses.push_back(lens);
            if (binding == nullptr) ++loaded.unknown;
            loaded.bound[lens].reset(binding);
        });
        return loaded;
    }
    // The log after the Brightness note that configurations without the
    // attribute produce.
    static std::string logAfterBrightness() {
        std::string log = hostsim::log();
        if (log.compare(0, std::string(kBrightnessDefault).size(), kBrightnessDefault) == 0) {
            log.erase(0, std::string(kBrightnessDefault).size());
        }
        return log;
    }
};

TEST_F(ConfigLoaderTest, MissingOrMalformedFileIsNotFound) {
    Loaded none = load("");
    EXPECT_TRUE(none.lenses.empty());
    EXPECT_EQ(hostsim::log(), "Drovanel : BIP xml file >< not found\n");

    hostsim::clearLog();
    std::string path = writeFile("broken.xml", "<Bip><BipProgramming><Lense>");
    load(path);
    EXPECT_EQ(hostsim::log(), "Drovanel : BIP xml file >" + path + "< not found\n");
}

TEST_F(ConfigLoaderTest, MissingStructureIsReportedOnlyForLense) {
    load(writeFile("a.xml", "<Other/>"));
    load(writeFile("b.xml", "<Bip><Programming/></Bip>"));
    EXPECT_EQ(hostsim::log(), "");
    load(writeFile("c.xml", "<Bip><BipProgramming Brightness=\"80\"><Lens/></BipProgramming></Bip>"));
    EXPECT_EQ(hostsim::log(), "Drovanel : node <Lense> not found\n");
    hostsim::clearLog();
    load(writeFile("d.xml", "<Bip><BipProgramming/></Bip>"));
    EXPECT_EQ(hostsim::log(), std::string(kBrightnessDefault) + "Drovanel : node <Lense> not found\n");
}

TEST_F(ConfigLoaderTest, EntriesBindLensesAndLaterEntriesReplaceEarlier) {
    Loaded loaded = load(writeConfig(lense("5", "Red", "MasterWarning") + lense("3", "Green", "GearDown") +
                                     lense("3", "amber", "gearup") + lense(" +7x", "GREEN", "ADF") +
                                     lense("abc", "Red", "VacLow") + lense("2", "Purple", "StallWarning")));
    EXPECT_EQ(loaded.lenses, (std::vector<int>{5, 3, 3, 7, 0, 2}));
    EXPECT_EQ(hostsim::log(), "");  // the file sets Brightness
    EXPECT_EQ(loaded.bound[5]->colour, kLensRed);
    EXPECT_EQ(loaded.bound[3]->colour, kLensAmber);
    EXPECT_EQ(loaded.bound[7]->colour, kLensGreen);
    EXPECT_EQ(loaded.bound[0]->colour, kLensRed);
    EXPECT_EQ(loaded.bound[2]->colour, kLensOff);
}

TEST_F(ConfigLoaderTest, BadEntriesAreSkippedWithTheirMessages) {
    Loaded loaded = load(writeConfig(
        "<Lense><Colour>Red</Colour><Id>VacLow</Id></Lense>\n"
        "<Lense><Assignment>1</Assignment><Id>VacLow</Id></Lense>\n"
        "<Lense><Assignment>1</Assignment><Colour>Red</Colour></Lense>\n"
        "<Lense><Assignment></Assignment><Colour>Red</Colour><Id>VacLow</Id></Lense>\n"
        "<Lense><Assignment>1</Assignment><Colour/><Id>VacLow</Id></Lense>\n"
        "<Lense><Assignment>1</Assignment><Colour>Red</Colour><Id></Id></Lense>\n" +
        lense("-1", "Red", "VacLow") + lense("24", "Red", "VacLow") + lense("9", "Red", "NoSuchLight") +
        lense("10", "Red", "Vac Low") +
        // A misspelt entry after the first Lense is still an entry.
        "<Lens><Assignment>11</Assignment><Colour>Red</Colour><Id>VacLow</Id></Lens>\n"));
    EXPECT_EQ(logAfterBrightness(),
              "Drovanel : node <Assignment> not found\n"
              "Drovanel : node <Colour> not found\n"
              "Drovanel : node <Id> not found\n"
              "Drovanel : node <Assignment> not found\n"
              "Drovanel : node <Colour> not found\n"
              "Drovanel : node <Id> not found\n"
              "Drovanel : index out of range [0-23]\n"
              "Drovanel : index out of range [0-23]\n"
              "Drovanel : failed to create -> index=9, c=1, ind=NoSuchLight\n"
              "Drovanel : failed to create -> index=10, c=1, ind=Vac Low\n");
    EXPECT_EQ(loaded.lenses, (std::vector<int>{9, 10, 11}));
    EXPECT_EQ(loaded.unknown, 2);
    EXPECT_NE(loaded.bound[11], nullptr);
}

TEST_F(ConfigLoaderTest, FlashLengthsAreLimited) {
    Loaded loaded = load(writeConfig(lense("0", "Red", "VacLow", "<Flash On=\"100\" Off=\"0\"/>") +
                                     lense("1", "Red", "VacLow", "<Flash On=\"50000\" Off=\"500\"/>") +
                                     lense("2", "Red", "VacLow", "<Flash On=\"500\"/>") +
                                     lense("3", "Red", "VacLow", "<Flash On=\"-5\" Off=\"199\"/>") +
                                     lense("4", "Red", "Nope", "<Flash On=\"500\" Off=\"500\"/>")));
    EXPECT_EQ(hostsim::log(),
              "Drovanel : flash for -> index=0, c=1, ind=VacLow\n"
              "Drovanel : flash for -> index=1, c=1, ind=VacLow\n"
              "Drovanel : flash for -> index=3, c=1, ind=VacLow\n"
              "Drovanel : failed to create -> index=4, c=1, ind=Nope\n");
    EXPECT_EQ(loaded.bound[0]->flashOn, 200u);
    EXPECT_EQ(loaded.bound[0]->flashOff, 0u);
    EXPECT_EQ(loaded.bound[1]->flashOn, 20000u);
    EXPECT_EQ(loaded.bound[1]->flashOff, 500u);
    EXPECT_EQ(loaded.bound[2]->flashOn, 0u);
    EXPECT_EQ(loaded.bound[2]->flashOff, 0u);
    EXPECT_EQ(loaded.bound[3]->flashOn, 20000u);
    EXPECT_EQ(loaded.bound[3]->flashOff, 200u);
}

TEST_F(ConfigLoaderTest, DecimalsReadAsAtoiWithoutOverflow) {
    EXPECT_EQ(parseDecimal("  42"), 42);
    EXPECT_EQ(parseDecimal("\t-7x"), -7);
    EXPECT_EQ(parseDecimal("+3"), 3);
    EXPECT_EQ(parseDecimal("x3"), 0);
    EXPECT_EQ(parseDecimal("- 3"), 0);
    EXPECT_EQ(parseDecimal("99999999999999999999999"), 2147483647);
    EXPECT_EQ(parseDecimal("-99999999999999999999999"), -2147483648LL);
    EXPECT_EQ(flashPhaseLength("99999999999999999999999"), 20000u);
}

// Malformed and hostile files: the loader must neither crash nor bind.
TEST_F(ConfigLoaderTest, HostileFilesAreRefusedWithClearMessages) {
    const std::string valid = "<Bip><BipProgramming>" + lense("5", "Red", "MasterWarning") +
                              "</BipProgramming></Bip>";

    // Every truncation of a valid file.
    for (std::size_t cut = 0; cut < valid.size(); ++cut) {
        load(writeFile("cut.xml", valid.substr(0, cut)));
    }

    // Deep nesting is refused before the parser recurses into it.
    std::string deep;
    for (int i = 0; i < 20000; ++i) deep += "<a>";
    hostsim::clearLog();
    std::string deepPath = writeFile("deep.xml", "<Bip><BipProgramming>" + deep);
    EXPECT_TRUE(load(deepPath).lenses.empty());
    EXPECT_EQ(hostsim::log(), "Drovanel : BIP xml file >" + deepPath +
                                  "< nests elements deeper than 64 levels, not read\n"
                                  "Drovanel : BIP xml file >" + deepPath + "< not found\n");
    // Nesting hidden behind quotes, comments and CDATA is still counted.
    std::string quoted = "<Bip x=\"<<<\"><!-- <a><a> --><![CDATA[<a>]]>";
    for (int i = 0; i < 100; ++i) quoted += "<a v='/>'>";
    hostsim::clearLog();
    load(writeFile("quoted.xml", quoted));
    EXPECT_NE(hostsim::log().find("deeper than 64 levels"), std::string::npos);

    // A huge file is not read.
    std::string huge = "<Bip><BipProgramming>";
    while (huge.size() <= static_cast<std::size_t>(kMaxConfigFileBytes)) huge += lense("1", "Red", "VacLow");
    huge += "</BipProgramming></Bip>";
    hostsim::clearLog();
    std::string hugePath = writeFile("huge.xml", huge);
    EXPECT_TRUE(load(hugePath).lenses.empty());
    EXPECT_EQ(hostsim::log(), "Drovanel : BIP xml file >" + hugePath + "< is larger than 1048576 bytes, not read\n"
                              "Drovanel : BIP xml file >" + hugePath + "< not found\n");

    // Binary noise and byte-flipped copies of the valid file.
    std::mt19937 random(7);
    for (int round = 0; round < 150; ++round) {
        std::string noise = valid;
        if (round % 3 == 0) {
            noise.assign(static_cast<std::size_t>(random() % 512), '\0');
            for (char &c : noise) c = static_cast<char>(random());
        } else {
            for (int flips = 0; flips < 4; ++flips) {
                noise[random() % noise.size()] = static_cast<char>(random());
            }
        }
        load(writeFile("noise.xml", noise));
    }

    // A long indicator name is quoted whole.
    hostsim::clearLog();
    std::string longName(3000, 'x');
    load(writeConfig(lense("1", "Red", longName)));
    EXPECT_EQ(hostsim::log(), "Drovanel : failed to create -> index=1, c=1, ind=" + longName + "\n");
}

}  // namespace
}  // namespace drovanel
