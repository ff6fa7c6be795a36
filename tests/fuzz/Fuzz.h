#pragma once
// Shared by the fuzz targets: each defines LLVMFuzzerTestOneInput and checks properties that must
// hold for every input, so a finding is a wrong answer as well as a crash.
#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "property broken: %s (%s:%d)\n", #condition, __FILE__, __LINE__);                     \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (0)

// The fuzzer's bytes, taken from the front: a few control bytes, then the payload.
class FuzzInput
{
public:
    FuzzInput(const uint8_t *data, size_t size)
        : m_bytes(QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)))
    { }

    unsigned char byte() { return m_at < m_bytes.size() ? static_cast<unsigned char>(m_bytes[m_at++]) : 0; }
    QByteArray take(qsizetype n)
    {
        const QByteArray part = m_bytes.mid(m_at, n);
        m_at += part.size();
        return part;
    }
    QByteArray rest() { return take(m_bytes.size() - m_at); }

private:
    QByteArray m_bytes;
    qsizetype m_at = 0;
};

// The application object a target needs, made at its first input and never destroyed: what is made
// after it (the settings store, result files) may still use it at exit.
template<typename Application> void ensureApplication()
{
    static int argc = 3;
    static char arg0[] = "fuzz", arg1[] = "-platform", arg2[] = "offscreen";
    static char *argv[] = {arg0, arg1, arg2, nullptr};
    static const auto *application = new Application(argc, argv);
    Q_UNUSED(application);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);
