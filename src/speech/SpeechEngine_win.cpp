#include "speech/SpeechEngine.h"

#include <windows.h>

#include <sapi.h>

#include <vector>

namespace {

// One COM reference, released with its holder.
template<class T>
class ComRef
{
public:
    ComRef() = default;
    ComRef(const ComRef &) = delete;
    ComRef &operator=(const ComRef &) = delete;
    ComRef(ComRef &&other) noexcept : m_p(other.m_p) { other.m_p = nullptr; }
    ~ComRef()
    {
        if (m_p)
            m_p->Release();
    }
    T *get() const { return m_p; }
    T *operator->() const { return m_p; }
    T **out() { return &m_p; }
    void **outVoid() { return reinterpret_cast<void **>(&m_p); }
    explicit operator bool() const { return m_p != nullptr; }
    void reset()
    {
        if (m_p)
            m_p->Release();
        m_p = nullptr;
    }

private:
    T *m_p = nullptr;
};

// A string SAPI hands over, freed with CoTaskMemFree.
QString takeString(WCHAR *text)
{
    if (!text)
        return {};
    QString s = QString::fromWCharArray(text);
    CoTaskMemFree(text);
    return s;
}

// A voice token's "Language" attribute lists LCIDs in hex ("409;9"): the first, as a locale name.
QString languageOf(ISpObjectToken *token)
{
    ComRef<ISpDataKey> attributes;
    if (FAILED(token->OpenKey(L"Attributes", attributes.out())))
        return {};
    WCHAR *value = nullptr;
    if (FAILED(attributes->GetStringValue(L"Language", &value)))
        return {};
    const QString lcids = takeString(value);
    bool ok = false;
    const LCID lcid = lcids.section(u';', 0, 0).trimmed().toUInt(&ok, 16);
    WCHAR name[LOCALE_NAME_MAX_LENGTH] = {};
    if (!ok || LCIDToLocaleName(lcid, name, LOCALE_NAME_MAX_LENGTH, 0) == 0)
        return {};
    return QString::fromWCharArray(name);
}

QString failure(HRESULT hr)
{
    return QStringLiteral("语音引擎不能朗读（SAPI 0x%1）")
        .arg(static_cast<quint32>(hr), 8, 16, QLatin1Char('0'));
}

// SAPI 5 through COM on the window thread. Speak is asynchronous and purges what is still being
// spoken; the engine's own thread does the speaking.
class SapiSpeechEngine final : public SpeechEngine
{
public:
    explicit SapiSpeechEngine(QObject *parent) : SpeechEngine(parent)
    {
        // Qt has usually initialised COM on this thread already (S_FALSE); either way the call is
        // balanced. A thread in the other apartment model can use SpVoice as well.
        const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        m_comInitialised = SUCCEEDED(init);
        const HRESULT hr = CoCreateInstance(CLSID_SpVoice, nullptr, CLSCTX_ALL, IID_ISpVoice,
                                            m_voice.outVoid());
        if (FAILED(hr)) {
            m_reason = QStringLiteral("没有找到语音引擎（SAPI 5）");
            return;
        }
        // A silent probe: purging nothing. An engine that cannot speak at all (Wine's stub
        // answers E_NOTIMPL) says so here rather than at the first word.
        const HRESULT probe = m_voice->Speak(nullptr, SPF_ASYNC | SPF_PURGEBEFORESPEAK, nullptr);
        if (FAILED(probe)) {
            m_reason = failure(probe);
            return;
        }
        loadVoices();
        if (m_tokens.empty())
            m_reason = QStringLiteral("系统没有安装语音");
    }

    ~SapiSpeechEngine() override
    {
        if (m_voice && m_reason.isEmpty())
            m_voice->Speak(nullptr, SPF_ASYNC | SPF_PURGEBEFORESPEAK, nullptr);
        m_tokens.clear();
        m_voice.reset();
        if (m_comInitialised)
            CoUninitialize();
    }

    bool available() const override { return m_reason.isEmpty(); }
    QString unavailableReason() const override { return m_reason; }
    QList<Voice> voices() const override { return m_voices; }

    void setRate(int rate) override
    {
        if (available())
            m_voice->SetRate(qBound(-10, rate, 10));
    }

    void say(const QString &text, const QString &voiceId) override
    {
        if (!available())
            return;
        if (voiceId != m_currentVoiceId) {
            ISpObjectToken *token = nullptr; // none: the user's default voice
            for (qsizetype i = 0; i < m_voices.size(); ++i) {
                if (m_voices.at(i).id == voiceId)
                    token = m_tokens.at(size_t(i)).get();
            }
            if (SUCCEEDED(m_voice->SetVoice(token)))
                m_currentVoiceId = voiceId;
        }
        const std::wstring wide = text.toStdWString();
        const HRESULT hr = m_voice->Speak(wide.c_str(),
                                          SPF_ASYNC | SPF_PURGEBEFORESPEAK | SPF_IS_NOT_XML, nullptr);
        if (FAILED(hr)) {
            m_reason = failure(hr);
            Q_EMIT availabilityChanged();
        }
    }

    void stop() override
    {
        if (available())
            m_voice->Speak(nullptr, SPF_ASYNC | SPF_PURGEBEFORESPEAK, nullptr);
    }

private:
    void loadVoices()
    {
        ComRef<ISpObjectTokenCategory> category;
        if (FAILED(CoCreateInstance(CLSID_SpObjectTokenCategory, nullptr, CLSCTX_ALL,
                                    IID_ISpObjectTokenCategory, category.outVoid()))
            || FAILED(category->SetId(SPCAT_VOICES, FALSE)))
            return;
        ComRef<IEnumSpObjectTokens> tokens;
        if (FAILED(category->EnumTokens(nullptr, nullptr, tokens.out())))
            return;
        for (;;) {
            ComRef<ISpObjectToken> token;
            ULONG fetched = 0;
            if (tokens->Next(1, token.out(), &fetched) != S_OK || fetched != 1 || !token)
                break;
            WCHAR *id = nullptr;
            if (FAILED(token->GetId(&id)))
                continue;
            Voice voice;
            voice.id = takeString(id);
            WCHAR *name = nullptr;
            if (SUCCEEDED(token->GetStringValue(nullptr, &name)))
                voice.name = takeString(name);
            if (voice.name.isEmpty())
                voice.name = voice.id.section(u'\\', -1);
            voice.language = languageOf(token.get());
            m_voices.append(voice);
            m_tokens.push_back(std::move(token));
        }
    }

    bool m_comInitialised = false;
    ComRef<ISpVoice> m_voice;
    std::vector<ComRef<ISpObjectToken>> m_tokens; // beside m_voices, same order
    QList<Voice> m_voices;
    QString m_currentVoiceId;
    QString m_reason;
};

} // namespace

std::unique_ptr<SpeechEngine> SpeechEngine::create(QObject *parent)
{
    return std::make_unique<SapiSpeechEngine>(parent);
}
