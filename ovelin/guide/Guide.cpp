#include "guide/Guide.h"

#include "app/CustomComboBox.h"
#include "app/Logger.h"
#include "guide/CanvasStyle.h"
#include "guide/CustomLineEdit.h"
#include "guide/GuideParameters.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpacerItem>
#include <QStandardItemModel>

#include <algorithm>

using GuideGeometry::roundHalfAway;
using GuideGeometry::truncateToInt;
namespace P = GuideParameters;

namespace {

// Loaded values are shown in the general numeric format with six significant digits.
QString general(double value)
{
    return QString::number(value, 'g', 6);
}

} // namespace

Guide::Guide(int index, const QString &title, bool canBeRelative, QWidget *parent)
    : QWidget(parent)
    , m_index(index)
    , m_titleLabel(new QLabel(title, this))
    , m_canBeRelative(canBeRelative)
    , m_style(new CanvasStyle(CanvasStyle::GuideRect))
{
    m_titleLabel->setObjectName(QStringLiteral("title"));

    m_modeLabel = new QLabel(this);
    m_modeCombo = new CustomComboBox(P::forGuide(P::FrameMode, index), this);
    m_modeCombo->setModel(P::createModeModel(m_modeCombo));
    m_ratioMinus = makeButton(false);
    m_ratioEdit = new CustomLineEdit(P::forGuide(P::FrameRatio, index), CustomLineEdit::Ratio, this);
    m_ratioPlus = makeButton(true);

    m_scaleLabel = new QLabel(this);
    m_scaleMinus = makeButton(false);
    m_scaleEdit = new CustomLineEdit(P::forGuide(P::FrameScale, index), CustomLineEdit::Percent, this);
    m_scalePlus = makeButton(true);

    const QString absoluteName = P::forGuide(P::FrameAbsolute, index);
    m_absoluteLabel = new QLabel(this);
    m_widthMinus = makeButton(false);
    m_widthEdit = new CustomLineEdit(absoluteName, CustomLineEdit::Pixels, this);
    m_widthPlus = makeButton(true);
    m_heightMinus = makeButton(false);
    m_heightEdit = new CustomLineEdit(absoluteName, CustomLineEdit::Pixels, this);
    m_heightPlus = makeButton(true);

    m_offsetLabel = new QLabel(this);
    m_offsetXMinus = makeButton(false);
    m_offsetXEdit = new CustomLineEdit(P::forGuide(P::FrameOffsetX, index), CustomLineEdit::SignedPercent, this);
    m_offsetXPlus = makeButton(true);
    m_offsetYMinus = makeButton(false);
    m_offsetYEdit = new CustomLineEdit(P::forGuide(P::FrameOffsetY, index), CustomLineEdit::SignedPercent, this);
    m_offsetYPlus = makeButton(true);

    m_appearanceLabel = new QLabel(this);
    m_lineTypeCombo = new CustomComboBox(P::forGuide(P::FrameLineStyle, index), this);
    m_lineTypeCombo->setModel(P::createLineTypeModel(m_lineTypeCombo));
    m_colorCombo = new CustomComboBox(P::forGuide(P::FrameColor, index), this);
    m_colorCombo->setModel(P::createColorModel(m_colorCombo));
    m_opacityCombo = new CustomComboBox(P::forGuide(P::FrameOpacity, index), this);
    m_opacityCombo->setModel(P::createOpacityModel(m_opacityCombo));

    if (m_canBeRelative) {
        m_relativeCheck = new QCheckBox(this);
        m_relativeLabel = new QLabel(this);
    }
    m_infoLabel = new QLabel(this);
    m_layout = new QGridLayout(this);

    m_comboBoxes = {m_modeCombo, m_lineTypeCombo, m_colorCombo, m_opacityCombo};
    m_lineEdits = {m_ratioEdit, m_scaleEdit, m_widthEdit, m_heightEdit, m_offsetXEdit, m_offsetYEdit};
    for (CustomLineEdit *edit : std::as_const(m_lineEdits))
        edit->setAttribute(Qt::WA_MacShowFocusRect, false);

    // Ratio controls appear in User mode only; the absolute row joins the layout
    // when absolute mode is entered.
    for (QWidget *w : {static_cast<QWidget *>(m_ratioMinus), static_cast<QWidget *>(m_ratioEdit),
             static_cast<QWidget *>(m_ratioPlus), static_cast<QWidget *>(m_absoluteLabel),
             static_cast<QWidget *>(m_widthMinus), static_cast<QWidget *>(m_widthEdit),
             static_cast<QWidget *>(m_widthPlus), static_cast<QWidget *>(m_heightMinus),
             static_cast<QWidget *>(m_heightEdit), static_cast<QWidget *>(m_heightPlus)})
        w->hide();
}

Guide::~Guide()
{
    delete m_style;
}

QPushButton *Guide::makeButton(bool plus)
{
    auto *button = new QPushButton(this);
    button->setObjectName(plus ? QStringLiteral("plusButton") : QStringLiteral("minusButton"));
    return button;
}

void Guide::setupTexts()
{
    m_modeLabel->setText(tr("&Mode:"));
    m_scaleLabel->setText(tr("&Scale:"));
    m_absoluteLabel->setText(tr("&Width/Height:"));
    m_offsetLabel->setText(tr("&Offset X/Y:"));
    m_appearanceLabel->setText(tr("&Appearance:"));
    for (QPushButton *b : findChildren<QPushButton *>(QStringLiteral("minusButton")))
        b->setText(tr("-"));
    for (QPushButton *b : findChildren<QPushButton *>(QStringLiteral("plusButton")))
        b->setText(tr("+"));
    m_modeLabel->setBuddy(m_modeCombo);
    m_scaleLabel->setBuddy(m_scaleEdit);
    m_absoluteLabel->setBuddy(m_widthEdit);
    m_offsetLabel->setBuddy(m_offsetXEdit);
    m_appearanceLabel->setBuddy(m_lineTypeCombo);
    m_colorCombo->setObjectName(QStringLiteral("colorCombo"));
    if (m_canBeRelative) {
        m_relativeLabel->setText(tr("&Relative to Frame Guide"));
        m_relativeLabel->setBuddy(m_relativeCheck);
    }
}

void Guide::applyFonts(const QFont &font)
{
    for (QWidget *w : findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        w->setFont(font);
    QFont titleFont(font.family(), font.pointSize() + 4);
    m_titleLabel->setFont(titleFont);

    const int buttonWidth = std::max(m_scaleMinus->sizeHint().width() - 40, 1);
    const int rowHeight = m_modeCombo->sizeHint().height() + 2;
    const int labelWidth = m_absoluteLabel->sizeHint().width() + 3;

    for (QPushButton *b : findChildren<QPushButton *>()) {
        b->setFixedWidth(buttonWidth);
        b->setFixedHeight(rowHeight);
    }
    for (CustomLineEdit *edit : std::as_const(m_lineEdits))
        edit->setFixedHeight(rowHeight - 4);
    for (QLabel *label : {m_modeLabel, m_scaleLabel, m_absoluteLabel, m_offsetLabel, m_appearanceLabel}) {
        label->setFixedHeight(rowHeight);
        label->setFixedWidth(labelWidth);
    }
    m_infoLabel->setFixedHeight(rowHeight);
    if (m_canBeRelative) {
        const int checkHeight = m_relativeLabel->sizeHint().height() + 10;
        m_relativeCheck->setFixedHeight(checkHeight);
        m_relativeLabel->setFixedHeight(checkHeight);
    }
}

void Guide::buildLayout()
{
    m_layout->setHorizontalSpacing(0);
    m_layout->setVerticalSpacing(2);
    m_layout->addWidget(m_titleLabel, 0, 0, 1, 8, Qt::AlignCenter);

    m_layout->addWidget(m_modeLabel, 1, 0);
    m_layout->addWidget(m_modeCombo, 1, 1, 1, 3);
    m_layout->addWidget(m_ratioMinus, 1, 4);
    m_layout->addWidget(m_ratioEdit, 1, 5);
    m_layout->addWidget(m_ratioPlus, 1, 6);
    // Keeps the mode row as high as it is with the ratio controls shown.
    m_ratioSpacer = new QSpacerItem(0, m_modeCombo->sizeHint().height() + 2, QSizePolicy::Minimum, QSizePolicy::Fixed);
    m_layout->addItem(m_ratioSpacer, 1, 7);

    m_scaleRow = 2;
    m_layout->addWidget(m_scaleLabel, m_scaleRow, 0);
    m_layout->addWidget(m_scaleMinus, m_scaleRow, 1);
    m_layout->addWidget(m_scaleEdit, m_scaleRow, 2);
    m_layout->addWidget(m_scalePlus, m_scaleRow, 3);

    m_layout->addWidget(m_offsetLabel, 3, 0);
    m_layout->addWidget(m_offsetXMinus, 3, 1);
    m_layout->addWidget(m_offsetXEdit, 3, 2);
    m_layout->addWidget(m_offsetXPlus, 3, 3);
    m_layout->addWidget(m_offsetYMinus, 3, 4);
    m_layout->addWidget(m_offsetYEdit, 3, 5);
    m_layout->addWidget(m_offsetYPlus, 3, 6);

    m_layout->addWidget(m_appearanceLabel, 4, 0);
    m_layout->addWidget(m_lineTypeCombo, 4, 1, 1, 3);
    m_layout->addWidget(m_colorCombo, 4, 4, 1, 3);
    m_layout->addWidget(m_opacityCombo, 4, 7);

    if (m_canBeRelative) {
        m_layout->addWidget(m_relativeCheck, 5, 0, Qt::AlignCenter);
        m_layout->addWidget(m_relativeLabel, 5, 1, 1, 3);
    } else {
        m_layout->addItem(new QSpacerItem(0, 0), 5, 0);
    }
    m_layout->addWidget(m_infoLabel, 6, 0, 1, 4);
}

void Guide::connectSignals()
{
    if (m_connected)
        return;
    m_connected = true;
    connect(m_modeCombo, &QComboBox::currentIndexChanged, this, &Guide::updateMode);
    connect(m_ratioMinus, &QPushButton::clicked, this, &Guide::decrementAspectRatio);
    connect(m_ratioPlus, &QPushButton::clicked, this, &Guide::incrementAspectRatio);
    connect(m_ratioEdit, &CustomLineEdit::valueUpdated, this, &Guide::updateAspectRatio);
    connect(m_scaleMinus, &QPushButton::clicked, this, &Guide::decrementScale);
    connect(m_scalePlus, &QPushButton::clicked, this, &Guide::incrementScale);
    connect(m_scaleEdit, &CustomLineEdit::valueUpdated, this, &Guide::updateScale);
    connect(m_widthMinus, &QPushButton::clicked, this, &Guide::decrementAbsoluteWidth);
    connect(m_widthPlus, &QPushButton::clicked, this, &Guide::incrementAbsoluteWidth);
    connect(m_widthEdit, &CustomLineEdit::valueUpdated, this, &Guide::updateAbsoluteWidth);
    connect(m_heightMinus, &QPushButton::clicked, this, &Guide::decrementAbsoluteHeight);
    connect(m_heightPlus, &QPushButton::clicked, this, &Guide::incrementAbsoluteHeight);
    connect(m_heightEdit, &CustomLineEdit::valueUpdated, this, &Guide::updateAbsoluteHeight);
    connect(m_offsetXMinus, &QPushButton::clicked, this, &Guide::decrementOffsetX);
    connect(m_offsetXPlus, &QPushButton::clicked, this, &Guide::incrementOffsetX);
    connect(m_offsetXEdit, &CustomLineEdit::valueUpdated, this, &Guide::updateOffsetX);
    connect(m_offsetYMinus, &QPushButton::clicked, this, &Guide::decrementOffsetY);
    connect(m_offsetYPlus, &QPushButton::clicked, this, &Guide::incrementOffsetY);
    connect(m_offsetYEdit, &CustomLineEdit::valueUpdated, this, &Guide::updateOffsetY);
    connect(m_lineTypeCombo, &QComboBox::currentIndexChanged, this, &Guide::updateLineType);
    connect(m_colorCombo, &QComboBox::currentIndexChanged, this, &Guide::updateLineColor);
    connect(m_opacityCombo, &QComboBox::currentIndexChanged, this, &Guide::updateLineOpacity);
    if (m_canBeRelative)
        connect(m_relativeCheck, &QCheckBox::clicked, this, &Guide::updateRelative);
}

bool Guide::isRelative() const
{
    return m_canBeRelative && m_relativeCheck->isChecked() && !m_absoluteMode;
}

QString Guide::title() const
{
    return m_titleLabel->text();
}

QString Guide::absoluteText() const
{
    return QStringLiteral("%1:%2:%3:%4")
        .arg(m_absoluteOffsetX)
        .arg(m_absoluteOffsetY)
        .arg(m_absoluteWidth)
        .arg(m_absoluteHeight);
}

QSize Guide::sizeHint() const
{
    return QSize(612, 200);
}

GuideGeometry::GuideSettings Guide::settings() const
{
    GuideGeometry::GuideSettings s;
    s.mode = m_mode;
    s.userRatio = m_userRatio;
    s.scale = m_scale;
    s.offsetX = m_offsetX;
    s.offsetY = m_offsetY;
    s.absoluteWidth = m_absoluteWidth;
    s.absoluteHeight = m_absoluteHeight;
    s.absoluteOffsetX = m_absoluteOffsetX;
    s.absoluteOffsetY = m_absoluteOffsetY;
    return s;
}

void Guide::setInfo(const TRect &r)
{
    m_infoLabel->setText(tr("%1 x %2, Origin: (%3, %4)").arg(r.w).arg(r.h).arg(r.x).arg(r.y));
}

void Guide::computeGeometry(const TRect &area, float squeeze, bool frameDisabled)
{
    if (frameDisabled) {
        m_infoLabel->setText(tr("Frame Guide disabled"));
        return;
    }
    m_rect = GuideGeometry::computeRect(settings(), area, squeeze);
    setInfo(m_rect);
}

void Guide::mapToCanvas(const TRect &target, const TRect &source)
{
    if (!isActive()) {
        m_style->setRect(0, 0, 0, 0);
    } else {
        const TRect r = GuideGeometry::mapToCanvas(m_rect, target, source);
        m_style->setRect(r.x, r.y, r.w, r.h);
    }
    emit styleUpdated();
}

void Guide::updateUserRatio(const TRect &area)
{
    if (m_mode == GuideGeometry::ModeUser)
        return;
    float ratio;
    if (m_mode == GuideGeometry::ModeOff || m_mode == GuideGeometry::ModeFull)
        ratio = area.h == 0 ? 100.0f : float(area.w) / float(area.h);
    else if (m_mode == GuideGeometry::ModeAbsolute)
        ratio = m_absoluteHeight == 0 ? 100.0f : float(m_absoluteWidth) / float(m_absoluteHeight);
    else
        ratio = float(m_mode) / 1000000.0f;
    m_ratioEdit->setText(QString::number(ratio, 'f', 4));
    updateAspectRatio(Operations::Commit);
}

void Guide::enableAbsoluteMode(bool enable, const TRect &area)
{
    if (m_scaleRow == -1) {
        Logger::logWarning(
            QStringLiteral("scaleRow for [%1] is -1. [%1] was not added to the UI correctly.").arg(title()), QString());
        return;
    }
    m_absoluteMode = enable;
    const bool offsetsFromLoad = m_savedOffsetsFromLoad;
    m_savedOffsetsFromLoad = false;

    const QList<QWidget *> scaleRow {m_scaleLabel, m_scaleMinus, m_scaleEdit, m_scalePlus};
    const QList<QWidget *> absoluteRow {
        m_absoluteLabel, m_widthMinus, m_widthEdit, m_widthPlus, m_heightMinus, m_heightEdit, m_heightPlus};
    const bool wasBlocked = signalsBlocked();

    if (enable) {
        if (m_absoluteRowShown)
            return;
        if (!offsetsFromLoad) {
            m_savedOffsetXText = m_offsetXEdit->text();
            m_savedOffsetYText = m_offsetYEdit->text();
        }
        m_offsetXEdit->setType(CustomLineEdit::Pixels);
        m_offsetYEdit->setType(CustomLineEdit::Pixels);
        m_widthEdit->setText(QString::number(m_rect.w));
        m_heightEdit->setText(QString::number(m_rect.h));
        // Offsets from the centred position, so the rectangle stays where it is.
        const int centredX = roundHalfAway(0.5f * float(qint64(area.w) - m_rect.w) + float(area.x));
        const int centredY = roundHalfAway(0.5f * float(qint64(area.h) - m_rect.h) + float(area.y));
        m_offsetXEdit->setText(QString::number(qint64(m_rect.x) - centredX));
        m_offsetYEdit->setText(QString::number(qint64(m_rect.y) - centredY));
        blockSignals(true);
        updateAbsoluteWidth(Operations::Commit);
        updateAbsoluteHeight(Operations::Commit);
        updateOffsetX(Operations::Commit);
        updateOffsetY(Operations::Commit);
        blockSignals(wasBlocked);

        for (QWidget *w : scaleRow) {
            m_layout->removeWidget(w);
            w->hide();
        }
        for (int column = 0; column < absoluteRow.size(); ++column) {
            m_layout->addWidget(absoluteRow[column], m_scaleRow, column);
            absoluteRow[column]->show();
        }
        QWidget::setTabOrder(m_modeCombo, m_widthMinus);
        QWidget::setTabOrder(m_widthMinus, m_widthEdit);
        QWidget::setTabOrder(m_widthEdit, m_widthPlus);
        QWidget::setTabOrder(m_widthPlus, m_heightMinus);
        QWidget::setTabOrder(m_heightMinus, m_heightEdit);
        QWidget::setTabOrder(m_heightEdit, m_heightPlus);
        m_absoluteRowShown = true;
        return;
    }

    if (!m_absoluteRowShown)
        return;
    m_offsetXEdit->setType(CustomLineEdit::SignedPercent);
    m_offsetYEdit->setType(CustomLineEdit::SignedPercent);
    m_offsetXEdit->setText(m_savedOffsetXText);
    m_offsetYEdit->setText(m_savedOffsetYText);
    blockSignals(true);
    updateOffsetX(Operations::Commit);
    updateOffsetY(Operations::Commit);
    blockSignals(wasBlocked);

    for (QWidget *w : absoluteRow) {
        m_layout->removeWidget(w);
        w->hide();
    }
    for (int column = 0; column < scaleRow.size(); ++column) {
        m_layout->addWidget(scaleRow[column], m_scaleRow, column);
        scaleRow[column]->show();
    }
    m_absoluteRowShown = false;
}

void Guide::refreshAll()
{
    updateMode(m_modeCombo->currentIndex());
    updateAspectRatio(Operations::Commit);
    updateScale(Operations::Commit);
    updateAbsoluteWidth(Operations::Commit);
    updateAbsoluteHeight(Operations::Commit);
    updateOffsetX(Operations::Commit);
    updateOffsetY(Operations::Commit);
    updateLineType(m_lineTypeCombo->currentIndex());
    updateLineColor(m_colorCombo->currentIndex());
    updateLineOpacity(m_opacityCombo->currentIndex());
}

void Guide::setAllSignalsBlocked(bool blocked)
{
    blockSignals(blocked);
    if (m_relativeCheck)
        m_relativeCheck->blockSignals(blocked);
    for (CustomComboBox *combo : std::as_const(m_comboBoxes))
        combo->blockSignals(blocked);
    for (CustomLineEdit *edit : std::as_const(m_lineEdits))
        edit->blockSignals(blocked);
}

void Guide::loadParameters(Database *preset, Database *defaultTemplate)
{
    QString value;
    for (CustomComboBox *combo : std::as_const(m_comboBoxes)) {
        if (P::lookUp(preset, defaultTemplate, combo->name(), &value))
            combo->setCurrentData(value);
    }
    m_absoluteMode = m_modeCombo->currentData() == GuideGeometry::ModeAbsolute;

    if (P::lookUp(preset, defaultTemplate, m_ratioEdit->name(), &value)
        && m_modeCombo->currentData() == GuideGeometry::ModeUser)
        m_ratioEdit->setText(general(value.toDouble() / 10000.0));

    if (P::lookUp(preset, defaultTemplate, m_scaleEdit->name(), &value))
        m_scaleEdit->setText(general(value.toDouble() / 100.0));

    if (P::lookUp(preset, defaultTemplate, m_widthEdit->name(), &value)) {
        const QStringList parts = value.split(QLatin1Char(':'));
        if (parts.size() == 4) {
            m_widthEdit->setText(parts[2]);
            m_heightEdit->setText(parts[3]);
            if (m_absoluteMode) {
                m_offsetXEdit->setText(parts[0]);
                m_offsetYEdit->setText(parts[1]);
            }
        } else {
            Logger::logError(QStringLiteral("The value [%1] of [%2] is not an absolute rectangle. It was ignored.")
                                 .arg(value, m_widthEdit->name()),
                QString());
        }
    }

    if (P::lookUp(preset, defaultTemplate, m_offsetXEdit->name(), &value)) {
        m_savedOffsetXText = general(value.toDouble() / 100.0);
        if (!m_absoluteMode)
            m_offsetXEdit->setText(m_savedOffsetXText);
    }
    if (P::lookUp(preset, defaultTemplate, m_offsetYEdit->name(), &value)) {
        m_savedOffsetYText = general(value.toDouble() / 100.0);
        if (!m_absoluteMode)
            m_offsetYEdit->setText(m_savedOffsetYText);
    }

    if (m_canBeRelative && P::lookUp(preset, defaultTemplate, P::forGuide(P::FrameRelative, m_index), &value)) {
        bool ok = false;
        const int checked = value.toInt(&ok);
        m_relativeCheck->setChecked(ok && checked != 0);
    }

    // The fields must read the loaded texts in the unit they were written in, also
    // when the previous preset left them in the other one.
    const int offsetType = m_absoluteMode ? CustomLineEdit::Pixels : CustomLineEdit::SignedPercent;
    m_offsetXEdit->setType(offsetType);
    m_offsetYEdit->setType(offsetType);
    m_savedOffsetsFromLoad = m_absoluteMode;
}

void Guide::updateControlStates()
{
    const bool active = isActive();
    m_modeLabel->setEnabled(true);
    m_modeCombo->setEnabled(true);
    const QList<QWidget *> followActive {m_ratioEdit, m_ratioPlus, m_scaleLabel, m_scaleEdit, m_absoluteLabel,
        m_widthMinus, m_widthEdit, m_widthPlus, m_heightMinus, m_heightEdit, m_heightPlus, m_offsetLabel, m_offsetXEdit,
        m_offsetYEdit, m_appearanceLabel, m_lineTypeCombo, m_colorCombo, m_opacityCombo, m_infoLabel};
    for (QWidget *w : followActive)
        w->setEnabled(active);
    updateRatioButtons();
    updateScaleButtons();
    updateOffsetXButtons();
    updateOffsetYButtons();
    if (m_canBeRelative) {
        const bool relativeAllowed = active && m_mode != GuideGeometry::ModeAbsolute;
        m_relativeCheck->setEnabled(relativeAllowed);
        m_relativeLabel->setEnabled(relativeAllowed);
    }
}

void Guide::updateRatioButtons()
{
    m_ratioMinus->setEnabled(isActive() && m_ratioEdit->value(Operations::Commit) > 0.0001f);
}

void Guide::updateScaleButtons()
{
    if (!isActive()) {
        m_scaleMinus->setEnabled(false);
        m_scalePlus->setEnabled(false);
        return;
    }
    const float value = m_scaleEdit->value(Operations::Commit);
    m_scaleMinus->setEnabled(value > 0.0f);
    m_scalePlus->setEnabled(value < 100.0f);
}

void Guide::updateOffsetButtons(CustomLineEdit *edit, QPushButton *minus, QPushButton *plus)
{
    if (!isActive()) {
        minus->setEnabled(false);
        plus->setEnabled(false);
        return;
    }
    const float value = edit->value(Operations::Commit);
    minus->setEnabled(value > -100.0f);
    plus->setEnabled(value < 100.0f);
}

void Guide::updateOffsetXButtons()
{
    updateOffsetButtons(m_offsetXEdit, m_offsetXMinus, m_offsetXPlus);
}

void Guide::updateOffsetYButtons()
{
    updateOffsetButtons(m_offsetYEdit, m_offsetYMinus, m_offsetYPlus);
}

void Guide::updateMode(int)
{
    m_mode = m_modeCombo->currentData();
    updateControlStates();
    const bool user = m_mode == GuideGeometry::ModeUser;
    m_ratioMinus->setVisible(user);
    m_ratioEdit->setVisible(user);
    m_ratioPlus->setVisible(user);
    const bool absolute = m_mode == GuideGeometry::ModeAbsolute;
    if (absolute && !m_absoluteMode)
        emit absoluteModeEnabled(true, this);
    if (!absolute && m_absoluteMode)
        emit absoluteModeEnabled(false, this);
    emit guideUpdated();
    emit styleUpdated();
    emit userRatioUpdated(this);
    emit changeMade(m_modeCombo->name(), QString::number(m_mode));
}

void Guide::decrementAspectRatio()
{
    updateAspectRatio(Operations::Decrement);
}

void Guide::incrementAspectRatio()
{
    updateAspectRatio(Operations::Increment);
}

void Guide::updateAspectRatio(Operations::Operation operation)
{
    const int previous = m_userRatio;
    m_userRatio = roundHalfAway(m_ratioEdit->value(operation) * 10000.0f);
    updateRatioButtons();
    if (m_userRatio == previous)
        return;
    emit guideUpdated();
    emit styleUpdated();
    emit changeMade(m_ratioEdit->name(), QString::number(m_userRatio));
}

void Guide::decrementScale()
{
    updateScale(Operations::Decrement);
}

void Guide::incrementScale()
{
    updateScale(Operations::Increment);
}

void Guide::updateScale(Operations::Operation operation)
{
    const int previous = m_scale;
    m_scale = roundHalfAway(m_scaleEdit->value(operation) * 100.0f);
    updateScaleButtons();
    if (m_scale == previous)
        return;
    emit guideUpdated();
    emit styleUpdated();
    emit changeMade(m_scaleEdit->name(), QString::number(m_scale));
}

void Guide::decrementAbsoluteWidth()
{
    updateAbsoluteWidth(Operations::Decrement);
}

void Guide::incrementAbsoluteWidth()
{
    updateAbsoluteWidth(Operations::Increment);
}

void Guide::updateAbsoluteWidth(Operations::Operation operation)
{
    const int width = truncateToInt(m_widthEdit->value(operation));
    if (width == m_absoluteWidth)
        return;
    m_absoluteWidth = width;
    emit userRatioUpdated(this);
    emit changeMade(m_widthEdit->name(), absoluteText());
}

void Guide::decrementAbsoluteHeight()
{
    updateAbsoluteHeight(Operations::Decrement);
}

void Guide::incrementAbsoluteHeight()
{
    updateAbsoluteHeight(Operations::Increment);
}

void Guide::updateAbsoluteHeight(Operations::Operation operation)
{
    const int height = truncateToInt(m_heightEdit->value(operation));
    if (height == m_absoluteHeight)
        return;
    m_absoluteHeight = height;
    emit userRatioUpdated(this);
    emit changeMade(m_heightEdit->name(), absoluteText());
}

void Guide::decrementOffsetX()
{
    updateOffsetX(Operations::Decrement);
}

void Guide::incrementOffsetX()
{
    updateOffsetX(Operations::Increment);
}

void Guide::updateOffsetX(Operations::Operation operation)
{
    if (m_absoluteMode) {
        const int offset = truncateToInt(m_offsetXEdit->value(operation));
        if (offset != m_absoluteOffsetX) {
            m_absoluteOffsetX = offset;
            emit changeMade(m_widthEdit->name(), absoluteText());
        }
    } else {
        const int previous = m_offsetX;
        m_offsetX = roundHalfAway(m_offsetXEdit->value(operation) * 100.0f);
        updateOffsetXButtons();
        if (m_offsetX != previous)
            emit changeMade(m_offsetXEdit->name(), QString::number(m_offsetX));
    }
    emit guideUpdated();
    emit styleUpdated();
}

void Guide::decrementOffsetY()
{
    updateOffsetY(Operations::Decrement);
}

void Guide::incrementOffsetY()
{
    updateOffsetY(Operations::Increment);
}

void Guide::updateOffsetY(Operations::Operation operation)
{
    if (m_absoluteMode) {
        const int offset = truncateToInt(m_offsetYEdit->value(operation));
        if (offset != m_absoluteOffsetY) {
            m_absoluteOffsetY = offset;
            emit changeMade(m_heightEdit->name(), absoluteText());
        }
    } else {
        const int previous = m_offsetY;
        m_offsetY = roundHalfAway(m_offsetYEdit->value(operation) * 100.0f);
        updateOffsetYButtons();
        if (m_offsetY != previous)
            emit changeMade(m_offsetYEdit->name(), QString::number(m_offsetY));
    }
    emit guideUpdated();
    emit styleUpdated();
}

void Guide::updateRelative(bool checked)
{
    emit guideUpdated();
    emit styleUpdated();
    emit changeMade(P::forGuide(P::FrameRelative, m_index), checked ? QStringLiteral("1") : QStringLiteral("0"));
}

void Guide::updateLineType(int)
{
    m_style->setPenStyle(QtUtil::qtPenStyle(m_lineTypeCombo->currentData()));
    emit styleUpdated();
    emit changeMade(m_lineTypeCombo->name(), QString::number(m_lineTypeCombo->currentData()));
}

void Guide::updateLineColor(int lineColorComboIndex)
{
    if (lineColorComboIndex >= 0 && lineColorComboIndex < int(std::size(P::colors))) {
        m_colorCombo->setStyleSheet(P::colorStyleSheet(lineColorComboIndex));
        m_style->setColorName(P::colors[lineColorComboIndex].color);
    }
    emit styleUpdated();
    emit changeMade(m_colorCombo->name(), QString::number(m_colorCombo->currentData()));
}

void Guide::updateLineOpacity(int)
{
    m_style->setOpacity(float(m_opacityCombo->currentData()) / 100.0f);
    emit styleUpdated();
    emit changeMade(m_opacityCombo->name(), QString::number(m_opacityCombo->currentData()));
}
