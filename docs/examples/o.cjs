/* An example skin for Zentavo: a Qt style sheet.
 *
 * To use it, copy it into the program folder as x/o.cjs, for example
 *   mkdir -p /usr/lib/zentavo/x && cp o.cjs /usr/lib/zentavo/x/o.cjs
 * and start Zentavo again. Delete x/o.cjs to return to the plain look.
 * Fonts are left alone, so every control keeps its designed font.
 */

QWidget {
    background-color: #eef2f6;
    color: #1f2a36;
}

QGroupBox {
    border: 1px solid #9fb1c4;
    border-radius: 4px;
    margin-top: 8px;
}

QGroupBox::title {
    subcontrol-origin: margin;
    left: 8px;
    padding: 0 3px;
    color: #2c5282;
}

QCheckBox {
    spacing: 6px;
}

QLineEdit {
    background-color: #ffffff;
    border: 1px solid #9fb1c4;
    border-radius: 3px;
    padding: 1px 3px;
    selection-background-color: #3b6ea5;
}

QLineEdit:focus {
    border-color: #3b6ea5;
}

QPushButton {
    background-color: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1,
                                      stop: 0 #fdfefe, stop: 1 #d9e2ec);
    border: 1px solid #7f95ad;
    border-radius: 4px;
    padding: 3px 10px;
}

QPushButton:hover {
    border-color: #3b6ea5;
}

QPushButton:pressed {
    background-color: #c3d1e0;
}

QPushButton:disabled {
    color: #8a97a6;
}

QProgressBar {
    background-color: #ffffff;
    border: 1px solid #9fb1c4;
    border-radius: 3px;
    text-align: center;
}

QProgressBar::chunk {
    background-color: #6f9bd1;
}

QTableView {
    background-color: #ffffff;
    alternate-background-color: #f5f8fb;
    border: 1px solid #9fb1c4;
    selection-background-color: #3b6ea5;
    selection-color: #ffffff;
}

QHeaderView::section {
    background-color: #dde6ef;
    border: none;
    border-right: 1px solid #b7c6d6;
    border-bottom: 1px solid #9fb1c4;
    padding: 2px 4px;
}
