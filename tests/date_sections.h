// What the two date section tests share: a clock that hands out a list of moments in turn
// and counts its readings, the time zone fixed to UTC and the date texts fixed to the C
// formats ("M/d/yyyy h:mm:ss AP").
#pragma once

#include <time.h>

#include <QLocale>
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "conversions.h"
#include "section_rig.h"

namespace date_sections {

struct SequenceClock : rt::Clock {
    std::vector<double> moments{39619.84894675926};  // 2008-06-20 20:22:29
    int reads = 0;

    float secondsSinceMidnight() override { return 100.25f; }
    double now() override {
        const std::size_t at = std::min<std::size_t>(reads++, moments.size() - 1);
        return moments[at];
    }
};

// Sets TZ for the life of the object and restores the previous zone.
class ZoneScope {
  public:
    explicit ZoneScope(const char *zone) {
        if (const char *old = std::getenv("TZ"))
            saved_ = old, had_ = true;
        set(zone);
    }
    ~ZoneScope() {
        if (had_)
            set(saved_.c_str());
        else {
            unsetenv("TZ");
            tzset();
        }
    }
    ZoneScope(const ZoneScope &) = delete;
    ZoneScope &operator=(const ZoneScope &) = delete;

    static void set(const char *zone) {
        setenv("TZ", zone, 1);
        tzset();
    }

  private:
    std::string saved_;
    bool had_ = false;
};

class DateSectionTest : public section_rig::SectionTest {
  protected:
    DateSectionTest() : zone_("UTC") {
        rt::setClock(&clock);
        rt::overrideLocaleFormats(rt::formatsOf(QLocale::c()));
    }
    ~DateSectionTest() override { rt::overrideLocaleFormats(std::nullopt); }

    SequenceClock clock;
    ZoneScope zone_;
};

}  // namespace date_sections
