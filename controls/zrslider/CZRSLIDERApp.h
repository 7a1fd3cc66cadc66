// The slider module: it keeps the user-interface language, which picks the font of its texts.
#pragma once

#include <skeleton/ControlModule.h>

#include <platform/types.h>

#include <QString>

class CZRSLIDERApp : public ctl::ControlModule {
public:
    CZRSLIDERApp();

    plat::LANGID languageId() const { return m_languageId; }
    // "MS Gothic" for Japanese, "Arial" otherwise.
    QString textFontName() const;

protected:
    bool initInstance() override;

private:
    plat::LANGID m_languageId = 0;
};

CZRSLIDERApp& sliderModule();
