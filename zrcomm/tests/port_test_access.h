// Reaches the port's inner state for tests that set up a situation the threads would reach.
#pragma once

#include "comm_port.h"

#include <vector>

namespace zrcomm {

struct CCommPortTestAccess {
    static void SetConnection(CCommPort& p, std::uint32_t state)
    {
        PortLock l(p);
        p.m_connectionState = state;
    }
    static void SetDirectExchange(CCommPort& p, bool open)
    {
        PortLock l(p);
        p.m_directExchange = open;
    }
    static void SetBaudRunning(CCommPort& p, bool running)
    {
        PortLock l(p);
        p.m_baudChangeRunning = running;
    }
    static void SetLastId(CCommPort& p, std::uint32_t id)
    {
        PortLock l(p);
        p.m_lastId = id;
    }
    static bool Probing(CCommPort& p)
    {
        PortLock l(p);
        return p.m_probing;
    }
    static std::string DirectBytes(CCommPort& p)
    {
        PortLock l(p);
        return p.m_directBytes.ToString();
    }
    // Whether either thread object still holds a thread (started and not joined).
    static bool AnyThread(CCommPort& p) { return p.m_sendThread.joinable() || p.m_receiveThread.joinable(); }
    static bool BothThreads(CCommPort& p) { return p.m_sendThread.joinable() && p.m_receiveThread.joinable(); }
    static plat::Event& PromptEvent(CCommPort& p) { return p.m_promptEvent; }
    static plat::Event& WakeEvent(CCommPort& p) { return p.m_wakeEvent; }
    static std::vector<CCommCommand*> Queue(CCommPort& p)
    {
        PortLock l(p);
        std::vector<CCommCommand*> out;
        for (auto& r : p.m_queue)
            out.push_back(r.get());
        return out;
    }
    static void SetLineState(CCommPort& p, CommandState s)
    {
        PortLock l(p);
        p.m_lineState = s;
    }
    static CommandState LineState(CCommPort& p)
    {
        PortLock l(p);
        return p.m_lineState;
    }
    // One receive pass's time-out checks, without the threads.
    static void RunChecks(CCommPort& p)
    {
        PortLock l(p);
        ++p.m_receivePass;
        p.CheckTimeouts();
    }
    // Bytes as one read would bring them, then framing, without the threads.
    static void Receive(CCommPort& p, const std::string& bytes, bool samePassAsTheChecks = false)
    {
        PortLock l(p);
        if (!samePassAsTheChecks)
            ++p.m_receivePass;
        const auto* b = reinterpret_cast<const std::uint8_t*>(bytes.data());
        const auto n = static_cast<std::uint32_t>(bytes.size());
        if (!CCommPort::IsValidData(b, n))
            p.m_invalidData = true;
        p.m_receive.Append(b, n);
        p.m_lastArrivalTick = p.Now();
        p.Frame();
    }
    // A pass that read nothing, as after the wait for a decision's silence.
    static void Frame(CCommPort& p)
    {
        PortLock l(p);
        ++p.m_receivePass;
        p.Frame();
    }
    static void SetLastWritten(CCommPort& p, const std::string& bytes)
    {
        PortLock l(p);
        p.m_lastWritten.Assign(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    }
    static std::string ReceiveBuffer(CCommPort& p)
    {
        PortLock l(p);
        return p.m_receive.ToString();
    }
    static CCommPort::Record Step(CCommPort& p, std::uint32_t code, std::uint32_t rate)
    {
        return p.MakeStep(code, rate, 0);
    }
};

} // namespace zrcomm
