#include "screens/channel/CPresetStepDlg.h"

#include "common/AppMessages.h"

#include "screens/channel/ChannelStep.h"

#include <model/ZRParamData.h>
#include <platform/messages.h>
#include <platform/qt/dialog_units.h>

#include <QPushButton>

namespace talverin {

namespace {

// Template layout in dialog units: buttons 30 x 11, no gaps.
constexpr int kButtonWidth = 30;
constexpr int kButtonHeight = 11;

const char* const kTemplateCaptions[] = {"-100", "-10", "-1", QT_TRANSLATE_NOOP("talverin::CPresetStepDlg", "Reset"),
                                         "+1", "+10", "+100"};

} // namespace

CPresetStepDlg::CPresetStepDlg(plat::HWND owner, QWidget* parent) : QWidget(parent), m_owner(owner)
{
    setObjectName(QString::number(kDialogId));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    for (int index = 0; index < kStepButtonCount; ++index) {
        auto* b = new QPushButton(tr(kTemplateCaptions[index]), this);
        b->setObjectName(QString::number(kFirstButton + index));
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoDefault(false);
        // Top to bottom: 2006 first.
        const int slot = kStepButtonCount - 1 - index;
        b->setGeometry(plat::qt::MapDialogRect(QRect(0, slot * kButtonHeight, kButtonWidth, kButtonHeight), font()));
        connect(b, &QPushButton::clicked, this, [this, index] { onButton(index); });
        m_buttons[static_cast<std::size_t>(index)] = b;
    }
    resize(plat::qt::MapDialogRect(QRect(0, 0, kButtonWidth, kButtonHeight * kStepButtonCount), font()).size());
    hide();
}

void CPresetStepDlg::SetParam(model::CZRParamData* record)
{
    m_record = record;
    if (!record)
        return;
    const auto captions = StepCaptions(*record);
    for (int index = 0; index < kStepButtonCount; ++index) {
        if (index != kStepReset)
            m_buttons[static_cast<std::size_t>(index)]->setText(QString::fromStdString(captions[static_cast<std::size_t>(index)]));
    }
    m_buttons[kStepReset]->setEnabled(StepResetEnabled(*record));
}

QPushButton* CPresetStepDlg::button(int index) const
{
    return index >= 0 && index < kStepButtonCount ? m_buttons[static_cast<std::size_t>(index)] : nullptr;
}

void CPresetStepDlg::press(int index)
{
    if (QPushButton* b = button(index); b && b->isEnabled())
        b->click();
}

void CPresetStepDlg::onButton(int index)
{
    plat::SendMessage(m_owner, WM_PRESET_STEP, static_cast<plat::WPARAM>(index), reinterpret_cast<plat::LPARAM>(m_record));
}

} // namespace talverin
