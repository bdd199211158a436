#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running OptraTrainer
# need. Only missing packages are installed; when everything is present the
# script prints nothing and touches nothing.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config ccache clang-format
  qtbase5-dev qtbase5-dev-tools libqt5sql5-sqlite libqt5opengl5-dev
  qt5-image-formats-plugins libqt5svg5 libqt5charts5-dev
  libpoppler-qt5-dev qpdf
  libtesseract-dev tesseract-ocr-eng tesseract-ocr-vie tesseract-ocr-kor fonts-dejavu-core
  libopencv-core-dev libopencv-imgproc-dev
  oxygen-icon-theme
  xvfb xauth libgl1-mesa-dri
  libbenchmark-dev sqlite3 locales
  # Training on another machine: the clients the program calls, and the SSH
  # server and single-node Slurm cluster its tests start for themselves.
  openssh-client rsync openssh-server slurm-wlm slurm-client munge
)

missing=()
for pkg in "${PACKAGES[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
done

SUDO=""
if [[ $(id -u) -ne 0 ]]; then SUDO="sudo"; fi

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# A German locale lets the tests prove that the Darknet files never carry
# decimal commas.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf8$'; then
  if ! grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'de_DE.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  fi
  $SUDO locale-gen >/dev/null
fi
