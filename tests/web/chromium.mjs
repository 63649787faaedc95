// Debian's Chromium, headless, as the page's tests and benchmark drive it: WebGL through
// SwiftShader, nothing fetched from elsewhere, sound allowed to start without a gesture.
import { chromium } from 'playwright-core';

export function launchChromium() {
  return chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--no-first-run', '--autoplay-policy=no-user-gesture-required'],
  });
}
