#include "HostLookup.h"
#include "Translate.h"

#include <mutex>
#include <vector>

namespace qavix::link {

namespace {

constexpr const char* kLookupUnanswered = N_("ホスト名の問い合わせに応答がありません");

// One asynchronous lookup: the request and everything it points to live together until
// the resolver has finished with them.
struct PendingLookup {
    std::string host;
    std::string service;
    addrinfo hints{};
    gaicb request{};
};

// Lookups given up while the resolver still worked on them. They cannot be freed before it
// is done, and it may finish after this library has been unloaded, so they are kept in
// memory that is never released with the library and reaped by later lookups.
struct ParkedLookups {
    std::mutex mutex;
    std::vector<PendingLookup*> lookups;
};

ParkedLookups& parked() {
    static ParkedLookups* const instance = new ParkedLookups;
    return *instance;
}

void release(PendingLookup* lookup) {
    if (lookup->request.ar_result != nullptr) {
        freeaddrinfo(lookup->request.ar_result);
    }
    delete lookup;
}

void reapParked() {
    ParkedLookups& p = parked();
    std::lock_guard lock(p.mutex);
    auto& list = p.lookups;
    for (auto it = list.begin(); it != list.end();) {
        if (gai_error(&(*it)->request) != EAI_INPROGRESS) {
            release(*it);
            it = list.erase(it);
        } else {
            ++it;
        }
    }
}

// Ends a lookup the caller no longer waits for.
void abandon(PendingLookup* lookup) {
    if (gai_cancel(&lookup->request) == EAI_NOTCANCELED) {
        ParkedLookups& p = parked();
        std::lock_guard lock(p.mutex);
        p.lookups.push_back(lookup);
        return;
    }
    release(lookup);
}

addrinfo streamHints(int flags) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = flags;
    return hints;
}

void describeFailure(int error, PortProblemKind& failure, std::string& detail) {
    const bool unknown = error == EAI_NONAME || error == EAI_NODATA || error == EAI_ADDRFAMILY;
    failure = unknown ? PortProblemKind::HostUnknown : PortProblemKind::LookupFailed;
    detail = gai_strerror(error);
}

}  // namespace

AddressList lookUpHost(const std::string& host, int port, Clock::time_point deadline,
                       PortProblemKind& failure, std::string& detail) {
    const std::string service = std::to_string(port);
    // An address needs no resolver: it is read at once, without a thread.
    const addrinfo numeric = streamHints(AI_NUMERICHOST | AI_NUMERICSERV);
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), service.c_str(), &numeric, &found) == 0) {
        return AddressList(found);
    }

    reapParked();
    auto* lookup = new PendingLookup{host, service, streamHints(AI_NUMERICSERV), {}};
    lookup->request.ar_name = lookup->host.c_str();
    lookup->request.ar_service = lookup->service.c_str();
    lookup->request.ar_request = &lookup->hints;
    gaicb* list[] = {&lookup->request};
    if (const int started = getaddrinfo_a(GAI_NOWAIT, list, 1, nullptr); started != 0) {
        describeFailure(started, failure, detail);
        delete lookup;
        return nullptr;
    }
    int state = EAI_INPROGRESS;
    while ((state = gai_error(&lookup->request)) == EAI_INPROGRESS && !passed(deadline)) {
        const timespec left = timeLeft(deadline);
        gai_suspend(list, 1, &left);
    }
    if (state == EAI_INPROGRESS) {
        abandon(lookup);
        failure = PortProblemKind::NoAnswer;
        detail = i18n::translate(kLookupUnanswered);
        return nullptr;
    }
    if (state != 0) {
        describeFailure(state, failure, detail);
        release(lookup);
        return nullptr;
    }
    AddressList addresses(lookup->request.ar_result);
    lookup->request.ar_result = nullptr;
    release(lookup);
    return addresses;
}

}  // namespace qavix::link
