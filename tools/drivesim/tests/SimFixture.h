// Shared set-up: a started simulator and a raw client on its slave.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "PtyClient.h"
#include "drivesim/DriverSim.h"

using namespace std::chrono_literals;

class SimTest : public ::testing::Test {
protected:
    void start(drivesim::Options options = {}, int clientBaud = 9600)
    {
        sim = std::make_unique<drivesim::DriverSim>(std::move(options));
        std::string error;
        ASSERT_TRUE(sim->start(&error)) << error;
        client = std::make_unique<PtyClient>(sim->slavePath(), clientBaud);
        ASSERT_TRUE(client->isOpen());
    }
    void TearDown() override
    {
        client.reset();
        if (sim)
            sim->stop();
    }

    std::unique_ptr<drivesim::DriverSim> sim;
    std::unique_ptr<PtyClient> client;
};
