#pragma once

#include <QTimer>
#include <QWidget>

// The busy animation of a dialog: a clip of frames (a document travelling
// from a server to a disk) played from a first to a last frame, repeating,
// until stopped. Drawn by the widget itself.
class CAnimateCtrl : public QWidget {
    Q_OBJECT
public:
    explicit CAnimateCtrl(QWidget* parent = nullptr);

    static constexpr int kFrameCount = 12;
    // Plays frames from..to (to < 0: the last frame), over and over.
    void Play(int from = 0, int to = -1);
    void Stop();
    bool IsPlaying() const { return m_timer.isActive(); }
    int CurrentFrame() const { return m_frame; }
    QSize sizeHint() const override { return {96, 40}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void NextFrame();

    QTimer m_timer;
    int m_from = 0;
    int m_to = kFrameCount - 1;
    int m_frame = 0;
};
