// WebGL answers a question about its state by a round trip to the GPU process, which first finishes
// every drawing asked before it: the compositor's questions each picture stalled the page for the
// whole of the game's drawing. The page remembers the state it sets, and answers for it itself.
(() => {
  const asked = new WeakMap();  // context -> Map of parameter -> value
  const remembered = (context) => {
    if (!asked.has(context)) asked.set(context, new Map());
    return asked.get(context);
  };
  for (const Context of [WebGLRenderingContext, WebGL2RenderingContext]) {
    const proto = Context.prototype;
    const wrap = (name, remember) => {
      const call = proto[name];
      proto[name] = function (...args) {
        call.apply(this, args);
        remember(remembered(this), ...args);
      };
    };
    wrap('viewport', (state, x, y, width, height) => {
      if (width >= 0 && height >= 0) state.set(proto.VIEWPORT, Int32Array.of(x, y, width, height));
    });
    wrap('scissor', (state, x, y, width, height) => {
      if (width >= 0 && height >= 0) state.set(proto.SCISSOR_BOX, Int32Array.of(x, y, width, height));
    });
    wrap('blendFuncSeparate', (state, sourceRgb, destinationRgb, sourceAlpha, destinationAlpha) => {
      state.set(proto.BLEND_SRC_RGB, sourceRgb).set(proto.BLEND_DST_RGB, destinationRgb)
        .set(proto.BLEND_SRC_ALPHA, sourceAlpha).set(proto.BLEND_DST_ALPHA, destinationAlpha);
    });
    wrap('blendFunc', (state, source, destination) => {
      state.set(proto.BLEND_SRC_RGB, source).set(proto.BLEND_DST_RGB, destination)
        .set(proto.BLEND_SRC_ALPHA, source).set(proto.BLEND_DST_ALPHA, destination);
    });
    wrap('clearColor', (state, red, green, blue, alpha) => {
      state.set(proto.COLOR_CLEAR_VALUE, Float32Array.of(red, green, blue, alpha));
    });

    // Asked once, from the GPU, for what was never set; then from memory. Arrays are copies, as
    // WebGL's own answers are.
    const rememberedParameters = new Set([proto.VIEWPORT, proto.SCISSOR_BOX, proto.BLEND_SRC_RGB,
      proto.BLEND_DST_RGB, proto.BLEND_SRC_ALPHA, proto.BLEND_DST_ALPHA, proto.COLOR_CLEAR_VALUE]);
    const getParameter = proto.getParameter;
    proto.getParameter = function (parameter) {
      if (!rememberedParameters.has(parameter)) return getParameter.call(this, parameter);
      const state = remembered(this);
      if (!state.has(parameter)) state.set(parameter, getParameter.call(this, parameter));
      const value = state.get(parameter);
      return ArrayBuffer.isView(value) ? value.slice() : value;
    };
  }
})();
