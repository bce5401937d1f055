-- Prints mpv's own frame counts when playback ends, for bench/display/run.sh.
mp.register_event("shutdown", function()
    io.stdout:write(string.format("mpv_output_drops %s\nmpv_decoder_drops %s\n",
        mp.get_property("frame-drop-count", "-1"), mp.get_property("decoder-frame-drop-count", "-1")))
end)
