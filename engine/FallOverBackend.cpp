#include "engine/FallOverBackend.h"

FallOverBackend::FallOverBackend(LookupBackend &first, LookupBackend &second, QObject *parent)
    : LookupBackend(parent)
    , m_first(first)
    , m_second(second)
{
    for (LookupBackend *backend : {&m_first, &m_second}) {
        connect(backend, &LookupBackend::reached, this, [this, backend](int slot) {
            if (backend == m_current)
                emit reached(slot);
        });
        connect(backend, &LookupBackend::answered, this, [this, backend](int slot, const LookupAnswer &answer) {
            if (backend == m_current)
                emit answered(slot, answer);
        });
    }
}
