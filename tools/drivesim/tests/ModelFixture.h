// A started simulator with the sample unit's driver model installed, and a raw client on it.
#pragma once

#include "SimFixture.h"

#include "drivesim/DriverModel.h"

#include <vector>

// One command and everything the driver writes after its echo, up to and including the prompt
// (or the question that ends it).
struct Exchange {
    const char* send;
    const char* reply;
};

class ModelTest : public SimTest {
protected:
    void startModel(drivesim::Options options = {}, int clientBaud = 9600)
    {
        std::string error;
        ASSERT_TRUE(model.load(DRIVESIM_SAMPLE_UNIT, &error)) << error;
        start(std::move(options), clientBaud);
        model.install(*sim);
    }
    // Sends each line with its CR and reads the echo and the reply, in order.
    void run(const std::vector<Exchange>& table)
    {
        for (const Exchange& e : table) {
            const std::string expected = std::string(e.send) + "\r\n" + e.reply;
            client->write(std::string(e.send) + "\r");
            EXPECT_EQ(client->readUntil(expected), expected) << "after " << e.send;
        }
    }

    drivesim::DriverModel model;
};
