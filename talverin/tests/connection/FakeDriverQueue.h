// A driver queue that completes commands only when the test says so: every call is noted, every
// queued command kept with its text, tag, state and reply.
#pragma once

#include "connection/DriverQueue.h"

#include <string>
#include <vector>

namespace talverin_test {

struct FakeDriverQueue : talverin::DriverQueue {
    struct Cmd {
        std::int32_t id;
        std::string text;
        std::intptr_t tag;
        std::string title;
        bool live = true;
        std::uint32_t state = 0;
        std::optional<std::string> reply = std::string();
    };
    std::vector<Cmd> cmds;
    std::vector<std::string> calls; // "text ..", "remove n", "resume n", "abort n", "mode n"
    bool connected = true;
    bool refuse = false;     // every queueing fails (not open)
    int staleRemoves = 0;    // removes of a command that was gone already
    std::uint32_t resumeResult = 0;
    std::uint32_t modeResult = 0;
    int otherRecords = 0;    // direct text and the library's own steps

    Cmd* find(std::int32_t id) { for (Cmd& c : cmds) if (c.id == id) return &c; return nullptr; }
    Cmd* oldestLive() { for (Cmd& c : cmds) if (c.live) return &c; return nullptr; }
    std::vector<std::string> texts(std::size_t from = 0) const
    {
        std::vector<std::string> t;
        for (std::size_t i = from; i < cmds.size(); ++i) t.push_back(cmds[i].text + "#" + std::to_string(cmds[i].tag));
        return t;
    }
    int live() const { int n = 0; for (const Cmd& c : cmds) n += c.live; return n; }
    std::int32_t add(const std::string& t, std::intptr_t tag, const std::string& title = {})
    {
        return refuse ? 0 : (cmds.push_back({std::int32_t(cmds.size() + 1), t, tag, title}), std::int32_t(cmds.size()));
    }

    std::int32_t queueCommand(plat::HWND, const std::string& t, std::intptr_t tag, const char* title, std::uint32_t* error) override
    {
        *error = refuse ? 0x40000004 : 0;
        return add(t, tag, title ? title : "");
    }
    CommandId sendCommandText(plat::HWND, const std::string& t, std::intptr_t tag) override { return add(t, tag); }
    CommandId sendTopLevelCommandText(plat::HWND, const std::string& t, std::intptr_t tag) override { return add(t, tag); }
    std::uint32_t sendText(plat::HWND, const std::string& t) override { calls.push_back("text " + (t == "\r" ? "CR" : t)); return lastError(); }
    std::string receivedText(unsigned) override { return {}; }
    std::uint32_t lastError() override { return refuse ? 0x40000004 : 0; }
    std::uint32_t commandState(std::int32_t id) override { Cmd* c = find(id); return c && c->live ? c->state : 0x40000007; }
    std::intptr_t commandTag(std::int32_t id) override { Cmd* c = find(id); return c ? c->tag : 0; }
    std::optional<std::string> replyText(std::int32_t id, unsigned) override { Cmd* c = find(id); return c && c->live ? c->reply : std::nullopt; }
    std::string commandLine(std::int32_t id, unsigned size) override { Cmd* c = find(id); return c ? c->text.substr(0, size - 1) : ""; }
    std::string commandText(std::int32_t id) override { Cmd* c = find(id); return c && c->live ? c->text : ""; }
    int removeCommand(std::int32_t id) override
    {
        calls.push_back("remove " + std::to_string(id));
        if (id == 0 || id == -1) { for (Cmd& c : cmds) if (id == -1 || c.state != 0x2000000f) c.live = false; return live(); }
        Cmd* c = find(id);
        if (!c || !c->live) return ++staleRemoves, -1;
        c->live = false;
        return live();
    }
    std::uint32_t resumeCommand(std::int32_t id) override { calls.push_back("resume " + std::to_string(id)); return resumeResult; }
    std::uint32_t abortCommand(std::int32_t id) override { calls.push_back("abort " + std::to_string(id)); return 0; }
    int recordCount(talverin::QueueRecords kind) override
    {
        return !connected && !live() ? -1 : live() + (kind == talverin::QueueRecords::All ? otherRecords : 0);
    }
    CommandId findCommandAfter(CommandId after, const std::string& p) override { for (Cmd& c : cmds) if (c.id > after && c.live && c.text.starts_with(p)) return c.id; return 0; }
    std::vector<CommandId> commandIds() override { std::vector<CommandId> ids; for (Cmd& c : cmds) if (c.live) ids.push_back(c.id); return ids; }
    std::uint32_t setCommandMode(int mode) override { calls.push_back("mode " + std::to_string(mode)); return modeResult; }
    bool isConnected() override { return connected; }
    std::string driverIdentification() override { return connected ? "KVX-100" : ""; }
};

} // namespace talverin_test
