// The browser windows installers have: a 1366 x 768 laptop's Chrome at 100 %
// and at 150 %, a 1280 x 720 one, and a full-HD screen.
export const viewports = [
  { name: '1366x657', width: 1366, height: 657 },
  { name: '911x438', width: 911, height: 438 },
  { name: '1280x720', width: 1280, height: 720 },
  { name: '1920x960', width: 1920, height: 960 },
];

// The context options of a viewport.
export const sized = ({ width, height }, more = {}) => ({ viewport: { width, height }, ...more });
