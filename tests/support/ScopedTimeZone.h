#pragma once

#ifdef _WIN32
#include "core/Clock.h" // the Windows zone for tests
#endif

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace velka::test {

#ifdef _WIN32

// Puts a Windows time zone in place of the one chosen in the system's settings for the life of
// the object, then puts back what was there. Zones are named as in the IANA database, which the
// tests share with other systems; Windows programs do not read TZ.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone)
        : saved_(current())
    {
        set(zone);
    }
    ~ScopedTimeZone()
    {
        useWindowsTimeZoneForTesting(saved_);
        current() = saved_;
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

    void set(const char* zone)
    {
        static constexpr std::pair<std::string_view, std::string_view> kWindowsNames[] = {
            {"Asia/Tokyo", "Tokyo Standard Time"},
            {"Europe/Berlin", "W. Europe Standard Time"},
            {"America/New_York", "Eastern Standard Time"},
            {"Australia/Sydney", "AUS Eastern Standard Time"},
            {"UTC", "UTC"},
        };
        for (const auto& [iana, windows] : kWindowsNames) {
            if (iana == zone) {
                if (!useWindowsTimeZoneForTesting(windows))
                    throw std::runtime_error("Windows does not know the time zone " +
                                             std::string(windows));
                current() = windows;
                return;
            }
        }
        throw std::invalid_argument("no Windows time zone for " + std::string(zone));
    }

private:
    // The key name of the zone in place; empty for the system's.
    static std::string& current()
    {
        static std::string name;
        return name;
    }

    std::string saved_;
};

#else

// Sets TZ for the life of the object, then puts back what was there.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone)
    {
        if (const char* old = std::getenv("TZ"))
            saved_ = old;
        set(zone);
    }
    ~ScopedTimeZone()
    {
        if (saved_)
            setenv("TZ", saved_->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

    // Without the zone database every zone reads as UTC without a word, and each test fails
    // far from the cause; so a missing zone fails here, by name.
    void set(const char* zone)
    {
        if (std::string_view(zone) != "UTC" && !installed(zone))
            throw std::runtime_error("the time zone " + std::string(zone) +
                                     " is not installed (the Debian package tzdata holds it)");
        setenv("TZ", zone, 1);
        tzset();
    }

private:
    static bool installed(const char* zone)
    {
        const char* dir = std::getenv("TZDIR");
        const std::string path = std::string(dir ? dir : "/usr/share/zoneinfo") + '/' + zone;
        std::FILE* file = std::fopen(path.c_str(), "rb");
        if (file)
            std::fclose(file);
        return file != nullptr;
    }

    std::optional<std::string> saved_;
};

#endif

} // namespace velka::test
