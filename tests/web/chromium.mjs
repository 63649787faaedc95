// Debian's Chromium, headless, as the page's tests and benchmark drive it: WebGL through
// SwiftShader, nothing fetched from elsewhere. A browser `inBackground` runs at the lowest CPU
// priority; one `soundWithoutGesture` lets sound start before the player does anything. A browser
// with a profile keeps it between starts.
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';

const options = ({ inBackground = false, soundWithoutGesture = false } = {}) => ({
  executablePath: inBackground
    ? join(dirname(fileURLToPath(import.meta.url)), 'background-chromium')
    : '/usr/bin/chromium',
  args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
    '--disable-background-networking', '--disable-component-update', '--disable-sync',
    '--no-first-run',
    ...(soundWithoutGesture ? ['--autoplay-policy=no-user-gesture-required'] : [])],
});

export function launchChromium(how) {
  return chromium.launch(options(how));
}

// The browser with a profile kept in `folder` (its caches, storage and service workers), as a
// player's is from one start to the next: resolves to its one context, made with `contextOptions`.
export function launchChromiumWithProfile(folder, contextOptions, how) {
  return chromium.launchPersistentContext(folder, { ...options(how), ...contextOptions });
}
