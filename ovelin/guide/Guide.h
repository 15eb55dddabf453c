#pragma once

#include "app/QtUtil.h"
#include "guide/GuideGeometry.h"
#include "guide/Operations.h"

#include <QList>
#include <QWidget>

class CanvasStyle;
class CustomComboBox;
class CustomLineEdit;
class Database;
class QCheckBox;
class QGridLayout;
class QLabel;
class QPushButton;
class QSpacerItem;

// One of the three guides of a preset (0 frame, 1 action, 2 title): the model of the
// guide and the tab that edits it. Computes its rectangle in sensor pixels, maps it
// into its drawing record and reports every setting change as (name, value).
class Guide : public QWidget {
    Q_OBJECT

public:
    Guide(int index, const QString &title, bool canBeRelative, QWidget *parent = nullptr);
    ~Guide() override;

    // Set-up, called once by the panel in this order.
    void setupTexts();
    void applyFonts(const QFont &font);
    void buildLayout();
    void connectSignals();

    void computeGeometry(const TRect &area, float squeeze, bool frameDisabled);
    void mapToCanvas(const TRect &target, const TRect &source);
    void updateUserRatio(const TRect &area);
    void enableAbsoluteMode(bool enable, const TRect &area);
    void refreshAll();
    void setAllSignalsBlocked(bool blocked);
    void loadParameters(Database *preset, Database *defaultTemplate);

    bool isActive() const { return m_mode != GuideGeometry::ModeOff; }
    bool isAbsolute() const { return m_absoluteMode; }
    bool isRelative() const;
    TRect rect() const { return m_rect; }
    CanvasStyle *style() const { return m_style; }
    int index() const { return m_index; }
    QString title() const;

    int mode() const { return m_mode; }
    int userRatio() const { return m_userRatio; }
    int scale() const { return m_scale; }
    int offsetX() const { return m_offsetX; }
    int offsetY() const { return m_offsetY; }
    int absoluteWidth() const { return m_absoluteWidth; }
    int absoluteHeight() const { return m_absoluteHeight; }
    int absoluteOffsetX() const { return m_absoluteOffsetX; }
    int absoluteOffsetY() const { return m_absoluteOffsetY; }
    // The stored absolute rectangle, "x:y:w:h".
    QString absoluteText() const;

    CustomComboBox *modeCombo() const { return m_modeCombo; }
    CustomComboBox *lineTypeCombo() const { return m_lineTypeCombo; }
    CustomComboBox *colorCombo() const { return m_colorCombo; }
    CustomComboBox *opacityCombo() const { return m_opacityCombo; }
    CustomLineEdit *ratioEdit() const { return m_ratioEdit; }
    CustomLineEdit *scaleEdit() const { return m_scaleEdit; }
    CustomLineEdit *widthEdit() const { return m_widthEdit; }
    CustomLineEdit *heightEdit() const { return m_heightEdit; }
    CustomLineEdit *offsetXEdit() const { return m_offsetXEdit; }
    CustomLineEdit *offsetYEdit() const { return m_offsetYEdit; }
    QPushButton *ratioMinusButton() const { return m_ratioMinus; }
    QPushButton *ratioPlusButton() const { return m_ratioPlus; }
    QPushButton *scaleMinusButton() const { return m_scaleMinus; }
    QPushButton *scalePlusButton() const { return m_scalePlus; }
    QPushButton *offsetXMinusButton() const { return m_offsetXMinus; }
    QPushButton *offsetXPlusButton() const { return m_offsetXPlus; }
    QCheckBox *relativeCheckBox() const { return m_relativeCheck; }
    QLabel *infoLabel() const { return m_infoLabel; }
    bool showsAbsoluteRow() const { return m_absoluteRowShown; }

    QSize sizeHint() const override;

signals:
    void guideUpdated();
    void styleUpdated();
    void absoluteModeEnabled(bool enable, Guide *guide);
    void userRatioUpdated(Guide *guide);
    void changeMade(const QString &name, const QString &value);

public slots:
    void updateMode(int modeComboIndex);
    void decrementAspectRatio();
    void incrementAspectRatio();
    void updateAspectRatio(Operations::Operation operation = Operations::Commit);
    void decrementScale();
    void incrementScale();
    void updateScale(Operations::Operation operation = Operations::Commit);
    void decrementAbsoluteWidth();
    void incrementAbsoluteWidth();
    void updateAbsoluteWidth(Operations::Operation operation = Operations::Commit);
    void decrementAbsoluteHeight();
    void incrementAbsoluteHeight();
    void updateAbsoluteHeight(Operations::Operation operation = Operations::Commit);
    void decrementOffsetX();
    void incrementOffsetX();
    void updateOffsetX(Operations::Operation operation = Operations::Commit);
    void decrementOffsetY();
    void incrementOffsetY();
    void updateOffsetY(Operations::Operation operation = Operations::Commit);
    void updateRelative(bool checked);
    void updateLineType(int lineTypeComboIndex);
    void updateLineColor(int lineColorComboIndex);
    void updateLineOpacity(int lineOpacityComboIndex);

private:
    void updateControlStates();
    void updateRatioButtons();
    void updateScaleButtons();
    void updateOffsetXButtons();
    void updateOffsetYButtons();
    void updateOffsetButtons(CustomLineEdit *edit, QPushButton *minus, QPushButton *plus);
    void setInfo(const TRect &rect);
    GuideGeometry::GuideSettings settings() const;
    QPushButton *makeButton(bool plus);

    int m_index;
    QLabel *m_titleLabel;
    bool m_canBeRelative;
    bool m_absoluteMode = false;
    int m_scaleRow = -1;
    CanvasStyle *m_style;
    TRect m_rect {0, 0, 0, 0};
    int m_absoluteOffsetX = 0;
    int m_absoluteOffsetY = 0;
    int m_absoluteWidth = 0;
    int m_absoluteHeight = 0;
    int m_mode = GuideGeometry::ModeOff;
    int m_userRatio = 0;
    int m_scale = 0;
    int m_offsetX = 0;
    int m_offsetY = 0;

    QLabel *m_modeLabel;
    CustomComboBox *m_modeCombo;
    QPushButton *m_ratioMinus;
    CustomLineEdit *m_ratioEdit;
    QPushButton *m_ratioPlus;
    QSpacerItem *m_ratioSpacer;
    QLabel *m_scaleLabel;
    QPushButton *m_scaleMinus;
    CustomLineEdit *m_scaleEdit;
    QPushButton *m_scalePlus;
    QLabel *m_absoluteLabel;
    QPushButton *m_widthMinus;
    CustomLineEdit *m_widthEdit;
    QPushButton *m_widthPlus;
    QPushButton *m_heightMinus;
    CustomLineEdit *m_heightEdit;
    QPushButton *m_heightPlus;
    QLabel *m_offsetLabel;
    QPushButton *m_offsetXMinus;
    CustomLineEdit *m_offsetXEdit;
    QPushButton *m_offsetXPlus;
    QPushButton *m_offsetYMinus;
    CustomLineEdit *m_offsetYEdit;
    QPushButton *m_offsetYPlus;
    QLabel *m_appearanceLabel;
    CustomComboBox *m_lineTypeCombo;
    CustomComboBox *m_colorCombo;
    CustomComboBox *m_opacityCombo;
    QCheckBox *m_relativeCheck = nullptr;
    QLabel *m_relativeLabel = nullptr;
    QLabel *m_infoLabel;

    QString m_savedOffsetXText;
    QString m_savedOffsetYText;
    // Set by a load in absolute mode: the offset fields then hold pixels, and the
    // percentages to restore on leaving absolute mode are already in the saved texts.
    bool m_savedOffsetsFromLoad = false;
    bool m_absoluteRowShown = false;
    bool m_connected = false;
    QGridLayout *m_layout;
    QList<CustomComboBox *> m_comboBoxes;
    QList<CustomLineEdit *> m_lineEdits;
};
