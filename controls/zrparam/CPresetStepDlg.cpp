#include "CPresetStepDlg.h"

#include "ParamTexts.h"

#include <model/ZRParamClass.h>
#include <platform/messages.h>
#include <platform/qt/dialog_units.h>
#include <platform/qt/fonts.h>
#include <zrparam/StepRules.h>

#include <QPushButton>

CPresetStepDlg::CPresetStepDlg(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("207"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    setFocusPolicy(Qt::NoFocus);
    setFont(plat::qt::MakeFont(QStringLiteral("MS Sans Serif"), -11));
    setGeometry(plat::qt::MapDialogRect(QRect(0, 0, 31, 84), font()));
    for (int index = 0; index < zrparam::kPresetButtons; ++index) {
        auto* b = new QPushButton(this);
        b->setObjectName(QString::number(2000 + index));
        b->setFocusPolicy(Qt::NoFocus);
        b->setFont(font());
        // 2006 at the top, 2000 at the bottom.
        b->setGeometry(plat::qt::MapDialogRect(QRect(0, 12 * (6 - index), 31, 12), font()));
        connect(b, &QPushButton::clicked, this, [this, index] { pressed(index); });
        m_buttons[static_cast<std::size_t>(index)] = b;
    }
    SetParam(nullptr, plat::LANG_ENGLISH_US);
    hide();
}

QPushButton* CPresetStepDlg::button(int index) const
{
    return index >= 0 && index < zrparam::kPresetButtons ? m_buttons[static_cast<std::size_t>(index)] : nullptr;
}

void CPresetStepDlg::SetParam(const model::CZRParamClass* node, plat::LANGID language)
{
    m_node = node;
    zrparam::PresetCaptions captions;
    if (node)
        captions = zrparam::StepRules::Captions(*node);
    for (int index = 0; index < zrparam::kPresetButtons; ++index) {
        const std::string& text = captions.captions[static_cast<std::size_t>(index)];
        m_buttons[static_cast<std::size_t>(index)]->setText(
            index == zrparam::kReset ? ParamTexts::resetCaption(language) : QString::fromStdString(text));
    }
    m_buttons[zrparam::kReset]->setEnabled(captions.resetEnabled);
}

void CPresetStepDlg::pressed(int index)
{
    if (m_target)
        plat::SendMessage(m_target, WM_PRESET_STEP, static_cast<plat::WPARAM>(index),
                          reinterpret_cast<plat::LPARAM>(m_node));
}
